#!/usr/bin/env bash
# Builds a PDF through PDFLIBRARY.DLL and has qpdf and poppler judge it: structure, page count and sizes,
# outline titles (one per section, non-ASCII kept) and the JPEG bytes passed through unchanged.
#   check-pdf.sh <wine-run> <pdfcompile.exe>
set -euo pipefail
run=$1 compile=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
win() { echo "Z:${1//\//\\}"; }
fail() { echo "FAIL: $*" >&2; exit 1; }

convert -size 850x1100 gradient:white-navy -density 100 -units PixelsPerInch "$work/p1.jpg"
convert -size 600x400 gradient:gray90-black -colorspace Gray -density 200 -units PixelsPerInch "$work/p2.jpg"
convert -size 300x300 plasma:fractal -density 50 -units PixelsPerCentimeter "$work/p3.jpg"

"$run" "$compile" "$(win "$work/out.pdf")" -s "Page 1" "$(win "$work/p1.jpg")" \
    -s "Übersicht Œuvre €" "$(win "$work/p2.jpg")" "$(win "$work/p3.jpg")" -s "Empty last" >/dev/null \
  || fail "pdfcompile failed"

check=$(qpdf --check "$work/out.pdf") || fail "qpdf --check: $check"
grep -q "No syntax or stream encoding errors found" <<<"$check" || fail "qpdf --check: $check"
[ "$(pdfinfo "$work/out.pdf" | sed -n 's/^Pages: *//p')" = 3 ] || fail "page count"
sizes=$(pdfinfo -f 1 -l 3 "$work/out.pdf" | sed -n 's/^Page *\([0-9]\) size: *\([0-9.]*\) x \([0-9.]*\) pts.*/\1 \2 \3/p')
[ "$sizes" = $'1 612 792\n2 216 144\n3 170.079 170.079' ] || fail "page sizes: $sizes"

images=$(pdfimages -list "$work/out.pdf" | awk 'NR > 2 { print $1, $4, $5, $6, $7, $9 }')
[ "$images" = $'1 850 1100 rgb 3 jpeg\n2 600 400 gray 1 jpeg\n3 300 300 rgb 3 jpeg' ] || fail "images: $images"
pdfimages -j "$work/out.pdf" "$work/x"
for n in 1 2 3; do
  cmp -s "$work/x-00$((n - 1)).jpg" "$work/p$n.jpg" || fail "page $n's JPEG was changed"
done

titles=$(qpdf --json --json-key=outlines "$work/out.pdf" |
         python3 -c 'import json, sys; print("|".join(o["title"] for o in json.load(sys.stdin)["outlines"]))')
[ "$titles" = "Page 1|Übersicht Œuvre €|Empty last" ] || fail "outline titles: $titles"
targets=$(qpdf --json --json-key=outlines "$work/out.pdf" |
          python3 -c 'import json, sys; print(" ".join(str(o["destpageposfrom1"]) for o in json.load(sys.stdin)["outlines"]))')
[ "$targets" = "1 2 None" ] || fail "outline targets: $targets"
echo "PDF accepted by qpdf and poppler"
