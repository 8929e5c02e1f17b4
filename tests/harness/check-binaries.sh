#!/usr/bin/env bash
# Checks that every program and library of the build is a PE file of the target machine that needs no DLL
# beyond those of Windows itself.
set -u
bin=$1; arch=$2
objdump=$arch-w64-mingw32-objdump
case $arch in i686) want=pei-i386 ;; *) want=pei-x86-64 ;; esac
system='^(kernel32|user32|gdi32|advapi32|shell32|shlwapi|comctl32|comdlg32|ole32|oleaut32|version|winmm|uuid|msvcrt|ws2_32|uxtheme|imm32|winspool\.drv|windowscodecs|msimg32|rpcrt4|usp10|gdiplus|ntdll|twain_32|kavo|ktrobots20|pdflibrary)\.(dll|drv)$'
status=0 count=0
for file in "$bin"/*.exe "$bin"/*.dll "$bin"/*.ds; do
  [ -f "$file" ] || continue
  count=$((count + 1))
  format=$($objdump -f "$file" | sed -n 's/.*file format //p')
  if [ "$format" != "$want" ]; then echo "$file: format $format, expected $want"; status=1; fi
  while read -r dll; do
    lower=$(echo "$dll" | tr 'A-Z' 'a-z')
    if ! [[ $lower =~ $system ]]; then echo "$file: needs $dll"; status=1; fi
  done < <($objdump -p "$file" | sed -n 's/^\s*DLL Name: //p')
done
echo "checked $count files"
# An empty or missing folder means the build put its programs elsewhere: nothing was checked.
if [ $count -eq 0 ]; then echo "$bin: no program or library to check"; status=1; fi
exit $status
