#!/usr/bin/env bash
# The README's test command: sets up the machine, builds, and runs every test under Wine on a virtual display.
# The tests run on one target (tools/common.sh chooses it); the other target's programs and tests are compiled
# and linked too, so that neither tree can break unnoticed.
set -euo pipefail
bash "$(dirname "$0")/setup.sh"
source "$(dirname "$0")/common.sh"

other=$(other_arch "$PAGORIN_ARCH")
echo "build: $PAGORIN_ARCH in $BUILD_DIR (its tests run here)"
build_tree "$PAGORIN_ARCH" "$BUILD_DIR"
# Unoptimised and without debug information: this tree is only compiled, and so in half the time.
echo "build: $other in $(tree_dir "$other") (compiled and linked only)"
build_tree "$other" "$(tree_dir "$other")" -DCMAKE_BUILD_TYPE=None
"$top/tests/harness/check-binaries.sh" "$(tree_dir "$other")/bin" "$other"

trap stop_all EXIT
start_display
start_wine
start_case_prefixes
cd "$BUILD_DIR"
# The display's slots keep the window cases that need the mouse or the focus apart from other windows; the
# prefixes keep the cases that change machine-wide state apart from each other and from the rest.
ctest --output-on-failure -j "$(nproc)" --resource-spec-file "$RESOURCE_SPEC" "$@"
