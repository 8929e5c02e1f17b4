#!/usr/bin/env bash
# Pages scanned through Wine's TWAIN manager in every format and pixel type must be, for ImageMagick, images of
# that format, colour type, A4 size at the resolution, and density.
#   check-twain.sh <wine-run> <twainscan.exe>
set -euo pipefail
run=$1 scan=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/twainXXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

declare -A magick=([tif]=TIFF [bmp]=BMP3 [jpg]=JPEG [png]=PNG)
declare -A colours=([bw]="Bilevel" [gray]="Grayscale" [rgb]="TrueColor")
for format in tif bmp jpg png; do
  for pixel in bw gray rgb; do
    dir="$work/$format-$pixel"
    mkdir "$dir"
    "$run" "$scan" "Z:${dir//\//\\}" 2 "$format" "$pixel" 150 >/dev/null || fail "scan $format $pixel"
    for page in "$dir"/Page00{1,2}.$format; do
      got=$(identify -units PixelsPerInch -format '%m %w %h %[type] %x' "$page") || fail "unreadable $page"
      set -- $got
      [ "$1 $2 $3" = "${magick[$format]} 1240 1754" ] || fail "$format $pixel: $got"
      [ "${5%.*}" -ge 149 ] && [ "${5%.*}" -le 150 ] || fail "$format $pixel density: $got"
      # A black-and-white JPEG holds grey bytes; ImageMagick may call it bilevel or greyscale.
      case "$pixel-$format-$4" in
        bw-jpg-Grayscale|bw-jpg-Bilevel|bw-*-Bilevel|gray-*-Grayscale|rgb-*-TrueColor|rgb-*-Palette) ;;
        *) fail "$format $pixel colour type: $got" ;;
      esac
    done
  done
done
echo "every page is a real image of the negotiated format, pixel type and resolution"
