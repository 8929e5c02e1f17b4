#!/usr/bin/env bash
# Runs tools/setup.sh against stand-ins for the package tools, in a folder of its own (its own /etc, log and
# .deps), so the machine's apt state is never touched. Every package counts as missing and every package index
# fails to download, as from a mirror in the middle of a sync.
#   check-setup.sh <setup.sh> install-succeeds|install-fails
# Prints the set-up's output and its exit code last ("exit N"); the ctest case judges them.
set -u
setup=$1 outcome=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin" "$work/repo/tools" "$work/repo/.deps/tinyxml" "$work/etc/apt/sources.list.d"
cp "$setup" "$work/repo/tools/setup.sh"
touch "$work/repo/.deps/tinyxml/tinyxml.h"
printf 'Types: deb\nURIs: http://mirror.invalid/debian\nSuites: bookworm\nComponents: main\n' \
  >"$work/etc/apt/sources.list.d/debian.sources"

cat >"$work/bin/apt-get" <<'EOF'
#!/bin/sh
case $1 in
  update)
    echo "Hit:1 http://mirror.invalid/debian bookworm InRelease"
    echo "Err:2 http://mirror.invalid/debian bookworm/main amd64 Packages"
    echo "  File has unexpected size (8824614 != 8824628). Mirror sync in progress?"
    echo "E: Failed to fetch http://mirror.invalid/debian/dists/bookworm/main/binary-amd64/Packages.xz" \
         " File has unexpected size (8824614 != 8824628). Mirror sync in progress?"
    echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
    exit 100 ;;
  install)
    echo "Reading package lists..."
    [ "$STANDIN_INSTALL" = succeeds ] && exit 0
    echo "The following packages have unmet dependencies:"
    echo " wine64 : Depends: libwine (= 8.0~repack-4) but 8.0~repack-3 is to be installed"
    echo "E: Unable to correct problems, you have held broken packages."
    exit 100 ;;
esac
exit 1
EOF
printf '#!/bin/sh\necho "dpkg-query: no packages found matching $3" >&2\nexit 1\n' >"$work/bin/dpkg-query"
printf '#!/bin/sh\nexit 0\n' >"$work/bin/dpkg"
printf '#!/bin/sh\nprintf "C\\nC.utf8\\nja_JP.utf8\\nPOSIX\\nru_RU.utf8\\n"\n' >"$work/bin/locale"
chmod +x "$work/bin/"*

code=0
PATH=$work/bin:$PATH TMPDIR=$work PAGORIN_SETUP_ETC=$work/etc PAGORIN_APT_UPDATE_TRIES=2 PAGORIN_APT_UPDATE_PAUSE=0 \
  STANDIN_INSTALL=${outcome#install-} bash "$work/repo/tools/setup.sh" 2>&1 || code=$?
echo "exit $code"
