#!/usr/bin/env bash
# Has the disc road burn a job through the device lab under Wine, then judges the written image on the Linux
# side: xorriso must list one folder per transaction with its pages, the Joliet label must be the disc title,
# and every extracted page must equal the queue folder's file byte for byte.
set -euo pipefail
build=$1
name=pagorin-disc-image-$$
lab=$build/wineprefix/drive_c/$name
out=$(mktemp -d)
trap 'rm -rf "$lab" "$out"' EXIT
mkdir -p "$lab"
export LC_ALL=C.UTF-8
PAGORIN_DISC_TEST_LAB="C:\\$name" "$build/wine-run" "$build/bin/pagorin_disc_tests.exe" \
  --gtest_filter=DiscRoadTest.JobIsBurnedVerifiedAndUnloaded >/dev/null

images=("$lab"/discs/disc-*.iso)
[ ${#images[@]} -eq 1 ] && [ -f "${images[0]}" ] || { echo "expected one disc image in $lab/discs"; exit 1; }
image=${images[0]}
status=0
fail() { echo "FAIL: $*"; status=1; }

listing=$(xorriso -abort_on NEVER -indev "$image" -find / -exec lsdl 2>/dev/null | sed -n "s/.* '\(\/..*\)'$/\1/p" | sort)
expected=$(printf '%s\n' "/Job 1" "/Job 1/a.jpg" "/Job 1/b.jpg" "/Job 2" "/Job 2/c.jpg" | sort)
[ "$listing" = "$expected" ] || fail "listing differs:"$'\n'"$listing"$'\n'"expected:"$'\n'"$expected"

joliet=$(dd if="$image" bs=1 skip=$((17 * 2048 + 40)) count=32 status=none | iconv -f UTF-16BE -t UTF-8 | sed 's/ *$//')
[ "$joliet" = "Road Label" ] || fail "Joliet volume id '$joliet'"

osirrox -indev "$image" -extract / "$out" >/dev/null 2>&1 || fail "osirrox could not extract"
for file in "Job 1/a.jpg" "Job 1/b.jpg" "Job 2/c.jpg"; do
  cmp -s "$lab/Queue/$file" "$out/$file" || fail "bytes of $file differ"
done
[ $status -eq 0 ] && echo "disc image checked: $image"
exit $status
