#!/usr/bin/env bash
# Benchmark: PDFLIBRARY.DLL (through pdfcompile.exe under Wine) against Debian's img2pdf on the same JPEG pages
# (A4 at 300 dpi), each timed as a whole run; prints both and the ratio. Not a test: it asserts nothing but a
# valid result.
#   bench-pdf.sh <build folder> [pages=500]
set -euo pipefail
build=$(cd "$1" && pwd) pages=${2:-500}
work=$(mktemp -d "${TMPDIR:-/tmp}/pdfbenchXXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/pages"
for n in $(seq 0 9); do  # ten different pages with scan-like noise (about 0.6 MB each), used in turn
  convert -size 2480x3508 gradient:white-gray$((60 + n * 3)) -attenuate 0.2 +noise Gaussian -fill black \
          -draw "rectangle $((300 + n * 100)),600 2100,$((900 + n * 150))" -density 300 -units PixelsPerInch \
          -quality 85 "$work/sample$n.jpg"
done
for i in $(seq 1 "$pages"); do
  cp "$work/sample$((i % 10)).jpg" "$work/pages/page$(printf %04d "$i").jpg"
done
megabytes=$(du -sm "$work/pages" | cut -f1)
"$build/wine-run" cmd.exe /c exit >/dev/null 2>&1 || true  # Wine's services started before timing

now() { date +%s.%N; }
start=$(now)
img2pdf "$work"/pages/*.jpg -o "$work/img2pdf.pdf"
img2pdf_s=$(echo "$(now) - $start" | bc)

start=$(now)
inside=$("$build/wine-run" "$build/bin/pdfcompile.exe" "Z:${work//\//\\}\\ours.pdf" "Z:${work//\//\\}\\pages")
ours_s=$(echo "$(now) - $start" | bc)

# Structure, page count and one image per page; qpdf --check would decode every image (seconds a page).
qpdf --json --json-key=pages "$work/ours.pdf" >/dev/null
[ "$(pdfinfo "$work/ours.pdf" | sed -n 's/^Pages: *//p')" = "$pages" ]
[ "$(pdfimages -list "$work/ours.pdf" | awk 'NR > 2 && $9 == "jpeg"' | wc -l)" = "$pages" ]
printf 'PDF benchmark: %d JPEG pages (A4, 300 dpi, %d MB)\n' "$pages" "$megabytes"
printf '  img2pdf        %6.2f s\n' "$img2pdf_s"
printf '  PDFLIBRARY.DLL %6.2f s (whole Wine run; inside the program: %s)\n' "$ours_s" "$inside"
printf '  ratio PDFLIBRARY.DLL / img2pdf = %.2f (below 1: faster)\n' "$(echo "$ours_s / $img2pdf_s" | bc -l)"
printf 'FIGURE: the PDF writer making a PDF of %d JPEG pages | %.3f s | img2pdf %.3f s | ratio %.2f | aim within 0.7x\n' \
  "$pages" "$ours_s" "$img2pdf_s" "$(echo "$ours_s / $img2pdf_s" | bc -l)"
