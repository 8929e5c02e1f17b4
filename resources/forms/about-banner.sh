#!/bin/sh
# Draws the about box's banner (320 x 70, 16 colours) with ImageMagick and writes it into frmAbout.dfm as the
# picture of Image1: the class name "TBitmap" after its length byte, then the bitmap file, in hex lines.
set -e
here=$(cd "$(dirname "$0")" && pwd)
bmp=$(mktemp --suffix=.bmp)
trap 'rm -f "$bmp"' EXIT
convert -size 320x70 gradient:'#1a4468'-'#0d2236' \
  -fill '#d9e4ee' -stroke '#8fb3d1' -strokewidth 2 -draw "circle 38,35 38,9" \
  -fill '#0d2236' -stroke '#8fb3d1' -strokewidth 1 -draw "circle 38,35 38,29" \
  -stroke none -fill '#8fb3d1' -draw "rectangle 70,33 300,34" \
  -fill white -font DejaVu-Sans-Bold -pointsize 26 -annotate +76+29 'Pagorin' \
  -fill '#cfe0ee' -font DejaVu-Sans -pointsize 12 -annotate +78+54 'scan to disc' \
  -colors 16 -type Palette -compress none BMP3:"$bmp"
python3 - "$here/frmAbout.dfm" "$bmp" <<'PY'
import re, sys
form, bmp = sys.argv[1], sys.argv[2]
data = (b"\x07TBitmap" + open(bmp, "rb").read()).hex().upper()
lines = "\n".join("      " + data[i:i + 64] for i in range(0, len(data), 64))
text = open(form).read()
text = re.sub(r"Picture\.Data = \{[^}]*\}", "Picture.Data = {\n" + lines + "}", text)
open(form, "w").write(text)
PY
