#!/usr/bin/env bash
# Benchmark: the virtual scanner delivering pages through Wine's TWAIN source manager by file transfer, in
# pages per second (transfer-ready to the last page, as twainscan measures it). Not a test.
#   bench-scanner.sh <build folder> [pages=100] [tif|bmp|jpg|png=jpg] [bw|gray|rgb=gray] [dpi=200]
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/scanbenchXXXXXX")
trap 'rm -rf "$work"' EXIT
"$build/wine-run" cmd.exe /c exit >/dev/null 2>&1 || true
result=$(env -u PAGORIN_LAB "$build/wine-run" "$build/bin/twainscan.exe" "Z:${work//\//\\}" "${2:-100}" "${3:-jpg}" \
         "${4:-gray}" "${5:-200}")
echo "Scanner benchmark (${3:-jpg}, ${4:-gray}, ${5:-200} dpi, A4): $result"
rate=$(echo "$result" | sed -n 's/.*pages\/s \([0-9.]*\).*/\1/p')
printf 'FIGURE: pages a second from the virtual scanner through the TWAIN manager | %s pages/s | no reference | ratio n/a | aim none given (the scan road needs above 2.5)\n' "$rate"
