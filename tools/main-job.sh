#!/usr/bin/env bash
# The README's main-job command: sets up the machine, builds, and runs the main job on the simulated devices.
set -euo pipefail
bash "$(dirname "$0")/setup.sh"
source "$(dirname "$0")/common.sh"

build_tree "$PAGORIN_ARCH" "$BUILD_DIR"
trap stop_all EXIT
start_display
start_wine
shopt -s nullglob
steps=("$top"/tools/main-job.d/*.sh)
if [ ${#steps[@]} -eq 0 ]; then
  echo "main job: the programs are built in $BUILD_DIR/bin; there is nothing to run yet"
fi
for step in "${steps[@]}"; do
  source "$step"
done
