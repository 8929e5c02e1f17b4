#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian 12 machine, as root. Idempotent.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
log=${TMPDIR:-/tmp}/pagorin-setup.log

packages=(cmake ninja-build g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-i686-dev
          mingw-w64-x86-64-dev mingw-w64-tools wine wine32:i386 wine64 xvfb xauth googletest dpkg-dev
          xorriso qpdf poppler-utils libxml2-utils img2pdf imagemagick python3 fonts-wqy-microhei locales)

# TinyXML's source comes from the same Debian release the machine installs from: derive a deb-src
# entry from the machine's own binary entries.
add_deb_src() {
  grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/ && return 1
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    awk 'BEGIN{RS="";ORS="\n\n"} /Types:/ {sub(/Types:[^\n]*/, "Types: deb-src"); print}' \
      /etc/apt/sources.list.d/debian.sources > /etc/apt/sources.list.d/pagorin-deb-src.sources
  else
    grep -E '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' > /etc/apt/sources.list.d/pagorin-deb-src.list
  fi
}

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
need_update=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then dpkg --add-architecture i386; need_update=1; fi
add_deb_src && need_update=1
[ ${#missing[@]} -gt 0 ] && need_update=1
if [ $need_update = 1 ]; then
  echo "setup: apt-get update"
  apt-get update -qq >>"$log" 2>&1
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >>"$log" 2>&1 \
    || { tail -n 30 "$log"; exit 1; }
fi

# Test programs run under the Russian and the Japanese locale (ANSI code pages 1251 and 932); Wine takes the
# code page, and the encoding of Unix file names, from the host locale, so those locales must exist.
for loc in ru_RU ja_JP; do
  locale -a 2>/dev/null | grep -qix "$loc\.utf-\?8" && continue
  echo "setup: generating the $loc.UTF-8 locale"
  sed -i "s/^# *\($loc\.UTF-8 UTF-8\)/\1/" /etc/locale.gen
  grep -qx "$loc.UTF-8 UTF-8" /etc/locale.gen || echo "$loc.UTF-8 UTF-8" >> /etc/locale.gen
  locale-gen >>"$log" 2>&1 || { tail -n 30 "$log"; exit 1; }
done

# TinyXML's Debian source package, unpacked with its patches into a git-ignored folder.
deps=$here/.deps
if [ ! -f "$deps/tinyxml/tinyxml.h" ]; then
  echo "setup: fetching TinyXML's Debian source"
  rm -rf "$deps/tinyxml-src" && mkdir -p "$deps/tinyxml-src"
  (cd "$deps/tinyxml-src" && apt-get source -qq tinyxml >>"$log" 2>&1)
  dir=$(find "$deps/tinyxml-src" -maxdepth 1 -mindepth 1 -type d -name 'tinyxml-*' | head -n1)
  rm -rf "$deps/tinyxml" && mv "$dir" "$deps/tinyxml" && rm -rf "$deps/tinyxml-src"
fi
echo "setup: done"
