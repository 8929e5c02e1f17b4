#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian 12 machine, as root. Idempotent.
# Every step's output goes to the log; a step that fails prints its own error lines and the log's path.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
log=${TMPDIR:-/tmp}/pagorin-setup.log
update_tries=${PAGORIN_APT_UPDATE_TRIES:-4}
update_pause=${PAGORIN_APT_UPDATE_PAUSE:-10}
# The system's configuration folder; the set-up's own test points it at a folder of its own.
etc=${PAGORIN_SETUP_ETC:-/etc}

packages=(cmake ninja-build g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-i686-dev
          mingw-w64-x86-64-dev mingw-w64-tools wine wine64 xvfb xauth googletest dpkg-dev
          xorriso qpdf poppler-utils libxml2-utils img2pdf imagemagick python3 fonts-wqy-microhei locales)

# Wine's 32-bit side (and with it the i386 architecture) is installed only where the kernel runs 32-bit code:
# elsewhere tools/common.sh takes the x86-64 path, and i386 indexes would only be more to download and fail.
# The probe is the smallest i386 program there is: it ends with exit code 42.
runs_32bit_code() {
  local probe
  probe=$(mktemp)
  printf '\x7fELF\x01\x01\x01\0\0\0\0\0\0\0\0\0\x02\0\x03\0\x01\0\0\0\x54\x80\x04\x08\x34\0\0\0' >"$probe"
  printf '\0\0\0\0\0\0\0\0\x34\0\x20\0\x01\0\0\0\0\0\0\0\x01\0\0\0\0\0\0\0\0\x80\x04\x08' >>"$probe"
  printf '\0\x80\x04\x08\x60\0\0\0\x60\0\0\0\x05\0\0\0\0\x10\0\0\xb8\x01\0\0\0\xbb\x2a\0\0\0\xcd\x80' >>"$probe"
  chmod +x "$probe"
  local rc=0
  "$probe" 2>/dev/null || rc=$?
  rm -f "$probe"
  [ $rc = 42 ]
}
if runs_32bit_code; then packages+=(wine32:i386); fi

# Runs one step with its output appended to the log and kept in $step_out for the caller to judge.
step_out=$(mktemp)
trap 'rm -f "$step_out"' EXIT
run_step() { # command...
  local rc=0
  "$@" >"$step_out" 2>&1 || rc=$?
  cat "$step_out" >>"$log"
  return $rc
}

# The lines of the last step's output that say what went wrong: apt's unmet dependencies and its errors, or
# the step's last lines where it printed neither.
step_errors() {
  if grep -q 'unmet dependencies' "$step_out"; then sed -n '/unmet dependencies/,$p' "$step_out" | head -n 40
  elif grep -qE '^(E|Err):' "$step_out"; then grep -E '^(E|W|Err):' "$step_out" | head -n 30
  else tail -n 30 "$step_out"; fi
}

# Ends the set-up: the failed step, its own words and where the whole log is.
fail() { # what failed
  echo "setup: $1 failed:" >&2
  step_errors | sed 's/^/setup:   /' >&2
  echo "setup: the whole log is $log" >&2
  exit 1
}

# TinyXML's source comes from the same Debian release the machine installs from: derive a deb-src
# entry from the machine's own binary entries.
add_deb_src() {
  grep -rqsE '^(Types:.*deb-src|deb-src )' "$etc/apt/sources.list" "$etc/apt/sources.list.d/" && return 1
  if [ -f "$etc/apt/sources.list.d/debian.sources" ]; then
    awk 'BEGIN{RS="";ORS="\n\n"} /Types:/ {sub(/Types:[^\n]*/, "Types: deb-src"); print}' \
      "$etc/apt/sources.list.d/debian.sources" > "$etc/apt/sources.list.d/pagorin-deb-src.sources"
  else
    grep -E '^deb ' "$etc/apt/sources.list" | sed 's/^deb /deb-src /' > "$etc/apt/sources.list.d/pagorin-deb-src.list"
  fi
}

# A mirror in the middle of a sync serves an index of the wrong size for a while: the update is tried again
# after a pause, and after the last try the install goes on with the indexes at hand (it fails by itself, and
# says so, when they do not hold what it needs).
apt_update() {
  local try
  for try in $(seq "$update_tries"); do
    echo "setup: apt-get update"
    run_step apt-get update -q && return 0
    [ "$try" -lt "$update_tries" ] && sleep $((update_pause * try))
  done
  echo "setup: apt-get update failed $update_tries times; going on with the package indexes at hand. apt said:"
  step_errors | sed 's/^/setup:   /'
}

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
need_update=0
if [[ " ${packages[*]} " == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  run_step dpkg --add-architecture i386 || fail "adding the i386 architecture"
  need_update=1
fi
add_deb_src && need_update=1
[ ${#missing[@]} -gt 0 ] && need_update=1
[ $need_update = 1 ] && apt_update
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  run_step env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}" ||
    fail "apt-get install"
fi

# Test programs run under the Russian and the Japanese locale (ANSI code pages 1251 and 932); Wine takes the
# code page, and the encoding of Unix file names, from the host locale, so those locales must exist.
for loc in ru_RU ja_JP; do
  locale -a 2>/dev/null | grep -qix "$loc\.utf-\?8" && continue
  echo "setup: generating the $loc.UTF-8 locale"
  sed -i "s/^# *\($loc\.UTF-8 UTF-8\)/\1/" "$etc/locale.gen"
  grep -qx "$loc.UTF-8 UTF-8" "$etc/locale.gen" || echo "$loc.UTF-8 UTF-8" >> "$etc/locale.gen"
  run_step locale-gen || fail "generating the $loc.UTF-8 locale"
done

# TinyXML's Debian source package, unpacked with its patches into a git-ignored folder.
deps=$here/.deps
if [ ! -f "$deps/tinyxml/tinyxml.h" ]; then
  echo "setup: fetching TinyXML's Debian source"
  rm -rf "$deps/tinyxml-src" && mkdir -p "$deps/tinyxml-src"
  (cd "$deps/tinyxml-src" && run_step apt-get source -q tinyxml) || fail "fetching TinyXML's Debian source"
  dir=$(find "$deps/tinyxml-src" -maxdepth 1 -mindepth 1 -type d -name 'tinyxml-*' | head -n1)
  [ -n "$dir" ] || { echo "apt-get source left no tinyxml-* folder" >"$step_out"; fail "unpacking TinyXML's source"; }
  rm -rf "$deps/tinyxml" && mv "$dir" "$deps/tinyxml" && rm -rf "$deps/tinyxml-src"
fi
echo "setup: done"
