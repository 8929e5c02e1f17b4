#!/usr/bin/env bash
# Runs Pagorin's hot-key run on the device lab under Wine, then judges its disc on the Linux side: xorriso
# must list the transaction's folder with the page and its compiled PDF, the page must equal the one handed
# over byte for byte, and qpdf must find the PDF whole.
set -euo pipefail
build=$1
name=pagorin-flow-image-$$
keep=$("$build/wine-run" winepath.exe -u "C:\\$name" | tr -d '\r')
out=$(mktemp -d)
trap 'rm -rf "$keep" "$out"' EXIT
mkdir -p "$keep"
export LC_ALL=C.UTF-8
PAGORIN_FLOW_IMAGE_DIR="C:\\$name" "$build/wine-run" "$build/bin/pagorin_flow_e2e_tests.exe" \
  --gtest_filter=PagorinJobFlow.HotKeyRunCountsDownWritesThePageWithItsPdfAndEnds >/dev/null

image=$keep/disc.iso
[ -f "$image" ] || { echo "FAIL: the run left no disc image"; exit 1; }
status=0
fail() { echo "FAIL: $*"; status=1; }

listing=$(xorriso -abort_on NEVER -indev "$image" -find / -exec lsdl 2>/dev/null | sed -n "s/.* '\(\/..*\)'$/\1/p" | sort)
folders=$(grep -c '^/[0-9]\{8\}-[0-9]\{6\}$' <<<"$listing" || true)
pages=$(grep -c '^/[0-9]\{8\}-[0-9]\{6\}/Page001\.jpg$' <<<"$listing" || true)
pdfs=$(grep -c '^/[0-9]\{8\}-[0-9]\{6\}/[^/]*\.pdf$' <<<"$listing" || true)
entries=$(grep -c . <<<"$listing" || true)
[ "$folders" = 1 ] && [ "$pages" = 1 ] && [ "$pdfs" = 1 ] && [ "$entries" = 3 ] ||
  fail "expected one transaction folder with Page001.jpg and one PDF:"$'\n'"$listing"

osirrox -indev "$image" -extract / "$out" >/dev/null 2>&1 || fail "osirrox could not extract"
cmp -s "$keep/Page001.jpg" "$out"/*/Page001.jpg || fail "the page on the disc differs from the page handed over"
for pdf in "$out"/*/*.pdf; do
  qpdf --check "$pdf" >/dev/null 2>&1 || fail "qpdf finds $(basename "$pdf") damaged"
done
[ $status -eq 0 ] && echo "disc image checked: the page and its PDF"
exit $status
