#!/usr/bin/env bash
# Has the PDF road compile scanned pages (JPEG, PNG, BMP) through Fendrix.exe and the PDF writer, then lets qpdf
# and poppler judge the PDF: structure, page count, outline titles "Page n" in order, and each JPEG page
# embedded unchanged.
#   check-pdf-road.sh <wine-run> <pdfroad_sample.exe>
set -euo pipefail
run=$1 sample=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
win() { echo "Z:${1//\//\\}"; }
fail() { echo "FAIL: $*" >&2; exit 1; }
export PAGORIN_LAB=$(win "$work/lab")

mkdir "$work/20240102-030405"
pages=()
for n in 1 2 3 4 5 6; do
  format=jpg; [ "$n" = 3 ] && format=png; [ "$n" = 5 ] && format=bmp
  page="$work/20240102-030405/Page00$n.$format"
  convert -size $((300 + n * 20))x$((400 + n * 10)) gradient:white-navy -density 200 -units PixelsPerInch "$page"
  pages+=("$(win "$page")")
done
pdf="$work/20240102-030405/Page.pdf"
"$run" "$sample" "$(win "$pdf")" "${pages[@]}" || fail "pdfroad_sample failed"

check=$(qpdf --check "$pdf") || fail "qpdf --check: $check"
grep -q "No syntax or stream encoding errors found" <<<"$check" || fail "qpdf --check: $check"
[ "$(pdfinfo "$pdf" | sed -n 's/^Pages: *//p')" = 6 ] || fail "page count"
titles=$(qpdf --json --json-key=outlines "$pdf" |
         python3 -c 'import json, sys; print("|".join(o["title"] for o in json.load(sys.stdin)["outlines"]))')
[ "$titles" = "Page 1|Page 2|Page 3|Page 4|Page 5|Page 6" ] || fail "outline titles: $titles"
[ "$(pdfimages -list "$pdf" | awk 'NR > 2 && $9 == "jpeg"' | wc -l)" = 6 ] || fail "images: $(pdfimages -list "$pdf")"
pdfimages -j "$pdf" "$work/x"
for n in 1 2 4 6; do
  cmp -s "$work/x-00$((n - 1)).jpg" "$work/20240102-030405/Page00$n.jpg" || fail "page $n's JPEG was changed"
done
[ -z "$(ls "$work/20240102-030405" | grep -e '~' -e '\.tmp$' || true)" ] || fail "left behind: $(ls "$work/20240102-030405")"
echo "PDF road's PDF accepted by qpdf and poppler"
