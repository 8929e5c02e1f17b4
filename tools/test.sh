#!/usr/bin/env bash
# The README's test command: sets up the machine, builds, and runs every test under Wine on a virtual display.
set -euo pipefail
bash "$(dirname "$0")/setup.sh"
source "$(dirname "$0")/common.sh"

build_tree "$PAGORIN_ARCH" "$BUILD_DIR"
# Where the machine runs only x86-64 code, the 32-bit programs are still built, to keep them compiling cleanly.
if [ "$PAGORIN_ARCH" != i686 ]; then
  echo "build: the 32-bit programs (this machine runs the tests on the x86-64 build)"
  build_tree i686 "$BUILD_DIR-i686" -DPAGORIN_BUILD_TESTS=OFF
  "$top/tests/harness/check-binaries.sh" "$BUILD_DIR-i686/bin" i686
fi

trap stop_all EXIT
start_display
start_wine
cd "$BUILD_DIR"
ctest --output-on-failure -j "$(nproc)" "$@"
