#!/usr/bin/env bash
# The README's benchmark command: every figure of the system, each beside its reference measured in the same
# run, gathered from the benchmark programs' FIGURE lines into one table (figure, value, reference, ratio,
# aim). Their full output goes to bench.log in the build folder. Run after the test command has built the
# tree; it starts its own display and Wine server.
#   tools/bench.sh
set -euo pipefail
source "$(dirname "$0")/common.sh"
build_tree "$PAGORIN_ARCH" "$BUILD_DIR"
log=$BUILD_DIR/bench.log figures=$(mktemp)
trap 'stop_all; rm -f "$figures"' EXIT
start_display
start_wine
: >"$log"

# Runs one benchmark: its FIGURE lines go to the table (a failure adds a line of its own), all its output
# to the log.
measure() { # what, command...
  local what=$1 out
  shift
  out=$(mktemp)
  echo "bench: $what" >&2
  "$@" >"$out" 2>&1 || echo "FIGURE: $what | FAILED (see the log) | - | - | -" >>"$figures"
  grep -a '^FIGURE: ' "$out" >>"$figures" || true
  { echo "==== $what: $*"; cat "$out"; } >>"$log"
  rm -f "$out"
}

run=$BUILD_DIR/wine-run bin=$BUILD_DIR/bin

# The figures, in the order of the issue.
measure "start and rest" "$run" "$bin/pagorin_start_benchmark.exe"
measure "scan to PDF" "$run" "$bin/scanpdf_benchmark.exe" 50
measure "TWAIN session" "$run" "$bin/twain_benchmark.exe"
measure "PDF road" "$run" "$bin/pdfroad_benchmark.exe"
measure "scanner" "$top/tests/simulators/twain/bench-scanner.sh" "$BUILD_DIR"
measure "queue restore" "$run" "$bin/pagorin_queue_benchmark.exe"
measure "check tree" "$run" "$bin/qv_tree_benchmark.exe"
measure "wide tree" "$run" "$bin/wyd_tree_benchmark.exe"
measure "Quenfold" "$run" "$bin/quenfold_benchmark.exe"
measure "burner" "$run" "$bin/kavo_benchmark.exe"
measure "PDF writer" "$top/tests/simulators/pdf/bench-pdf.sh" "$BUILD_DIR"

echo
echo "Benchmarks of $PAGORIN_ARCH in $BUILD_DIR (full output: $log)"
sed -e 's/^FIGURE: //' -e 's/ | ratio / | /' -e 's/ | aim / | /' "$figures" |
  awk -F' [|] ' 'BEGIN { printf "%-66s  %-18s  %-58s  %-12s  %s\n", "figure", "value", "reference", "ratio", "aim" }
                 { printf "%-66s  %-18s  %-58s  %-12s  %s\n", $1, $2, $3, $4, $5 }'
