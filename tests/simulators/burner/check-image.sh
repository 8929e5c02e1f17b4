#!/usr/bin/env bash
# Writes a sample disc with the burning engine stand-in under Wine, then judges the image on the Linux side:
# xorriso must list the folders and files by their Joliet names, the labels must be the title, and every
# extracted file must equal its source byte for byte.
set -euo pipefail
build=$1
name=pagorin-lab-image-$$
lab=$build/wineprefix/drive_c/$name
out=$(mktemp -d)
trap 'rm -rf "$lab" "$out"' EXIT
mkdir -p "$lab"
printf '[Writer.E]\nDisc = 4:blank\n' > "$lab/scenario.ini"
export LC_ALL=C.UTF-8
PAGORIN_LAB="C:\\$name" "$build/wine-run" "$build/bin/burn_sample.exe"

image=$(echo "$lab"/discs/disc-*.iso)
[ -f "$image" ] || { echo "no disc image in $lab/discs"; exit 1; }
status=0
fail() { echo "FAIL: $*"; status=1; }

listing=$(xorriso -abort_on NEVER -indev "$image" -find / -exec lsdl 2>/dev/null | sed -n "s/.* '\(\/..*\)'$/\1/p" | sort)
expected=$(printf '%s\n' "/Job A" "/Job A/Page 1.jpg" "/Job A/Seite ü.txt" "/Job B" "/Job B/Page 10.tif" \
  "/Job B/a-long-page-name-that-is-longer-than-thirty-one-characters.jpg" "/Job B/empty.txt" | sort)
[ "$listing" = "$expected" ] || fail "listing differs:"$'\n'"$listing"$'\n'"expected:"$'\n'"$expected"

primary=$(xorriso -indev "$image" -pvd_info 2>/dev/null | sed -n 's/^Volume Id *: *//p')
[ "$primary" = "Pr_fung M_rz 26" ] || fail "primary volume id '$primary'"
joliet=$(dd if="$image" bs=1 skip=$((17 * 2048 + 40)) count=32 status=none | iconv -f UTF-16BE -t UTF-8 | sed 's/ *$//')
[ "$joliet" = "Prüfung März 26" ] || fail "Joliet volume id '$joliet'"

osirrox -indev "$image" -extract / "$out" >/dev/null 2>&1 || fail "osirrox could not extract"
for file in "Job A/Page 1.jpg" "Job A/Seite ü.txt" "Job B/empty.txt" "Job B/Page 10.tif" \
            "Job B/a-long-page-name-that-is-longer-than-thirty-one-characters.jpg"; do
  cmp -s "$lab/src/$file" "$out/$file" || fail "bytes of $file differ"
done

# The primary tree must stand on its own too (readers without Joliet).
primary_listing=$(xorriso -read_fs ecma119 -indev "$image" -find / -type f 2>/dev/null)
grep -q "'/JOB_A/PAGE_1.JPG'" <<<"$primary_listing" && grep -q "'/JOB_B/A_LONG_PAGE_NAME_THAT_IS.JPG'" \
  <<<"$primary_listing" || fail "primary tree:"$'\n'"$primary_listing"
[ $status -eq 0 ] && echo "image checked: $image"
exit $status
