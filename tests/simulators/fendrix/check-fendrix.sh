#!/usr/bin/env bash
# Pages made by ImageMagick in each input format go through Fendrix.exe; identify must read every copy as a
# JPEG of the page's size and density.
#   check-fendrix.sh <wine-run> <Fendrix.exe>
set -euo pipefail
run=$1 fendrix=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/fendrixXXXXXX")  # no dot: the copy is named at the first one
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

convert -size 420x297 gradient:white-firebrick -density 200 -units PixelsPerInch "$work/Page001.bmp"
convert -size 420x297 gradient:white-black -colorspace Gray -density 200 -units PixelsPerInch "$work/Page002.tif"
convert -size 420x297 pattern:checkerboard -monochrome -density 200 -units PixelsPerInch "$work/Page003.tif"
convert -size 420x297 plasma:fractal -density 200 -units PixelsPerInch "$work/Page004.png"
convert -size 420x297 plasma:fractal -density 200 -units PixelsPerInch "$work/Page005.jpg"
for n in 1 2 3 4 5; do
  page=$(ls "$work"/Page00$n.*)
  "$run" "$fendrix" "Z:${page//\//\\}" || fail "Fendrix failed on $page"
  got=$(identify -units PixelsPerInch -format '%m %w %h %x' "$work/Page00$n~.jpg") || fail "unreadable copy of $page"
  [ "$got" = "JPEG 420 297 200" ] || fail "copy of $page: $got"
done
echo "every copy is a JPEG of the page's size and density"
