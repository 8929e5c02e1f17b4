#!/usr/bin/env bash
# The README's main-job command: sets up the machine, builds, and runs the main job on the simulated devices.
set -euo pipefail
bash "$(dirname "$0")/setup.sh"
source "$(dirname "$0")/common.sh"

build_tree "$PAGORIN_ARCH" "$BUILD_DIR"
trap stop_all EXIT
start_display
start_wine

# What the run fell short of (a page missing from the disc, a PDF that fails its check, Pagorin not ending by
# itself...): each is said when found, the steps go on, and the job ends non-zero with the reasons as its last line.
shortfalls=()
shortfall() { # reason
  echo "main job: SHORTFALL: $1"
  shortfalls+=("$1")
}

shopt -s nullglob
for step in "$top"/tools/main-job.d/*.sh; do
  source "$step"
done
if [ ${#shortfalls[@]} -gt 0 ]; then
  printf -v reasons '%s; ' "${shortfalls[@]}"
  echo "main job: FAILED: ${reasons%; }"
  exit 1
fi
echo "main job: done"
