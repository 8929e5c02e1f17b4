#!/usr/bin/env bash
# Installs the shipped database with Quenfold into the build tree's prefix and judges the written files with
# a second parser: well-formed, and holding the same mappings and fallbacks as the shipped document.
set -eu
build=$1
run() { "$build/wine-run" "$@"; }
run "$build/bin/Quenfold.exe" -ns -f || { echo "Quenfold ended with $?"; exit 1; }
source_xml=$(dirname "$0")/../../resources/drvdb/driverdatabase-setup.xml
count() { xmllint --xpath "count($2)" "$1"; }
status=0
for folder in 'C:\ProgramData' "$(run cmd.exe /c echo %LOCALAPPDATA% | tr -d '\r')"; do
  file=$(run winepath.exe -u "$folder\\Corvell\\drivers\\driverdatabase.xml" | tr -d '\r')
  echo "checking $file"
  xmllint --noout "$file" || { status=1; continue; }
  for path in //mapping //p //include-mapping //fallback; do
    want=$(count "$source_xml" "/driver-database-setup/driver-database$path")
    got=$(count "$file" "/driver-database$path")
    [ "$want" = "$got" ] || { echo "$path: $got in the file, $want shipped"; status=1; }
  done
  [ "$(tail -c 1 "$file" | od -An -c | tr -d ' ')" = ">" ] || { echo "the file ends with a line feed"; status=1; }
  if grep -q $'\r' "$file"; then echo "the file has CR LF line ends"; status=1; fi
done
exit $status
