# Main-job step, sourced by tools/main-job.sh: pictures of the settings dialog, the scanner chooser and the
# about box, taken of each window itself by the dialogs' picture test in English (it makes the dialogs in its own
# process on the prefix's product key, which it removes again; the next step installs the key anew).
# Exports SCREENS_DIR (Linux) and SCREENS_WIN (the same folder as Windows programs name it).
# Set by the caller: BUILD_DIR, shortfall.

export SCREENS_DIR=$BUILD_DIR/screens
export SCREENS_WIN="Z:${SCREENS_DIR//\//\\}"
rm -rf "$SCREENS_DIR"
mkdir -p "$SCREENS_DIR"
if "$BUILD_DIR/wine-run" "$BUILD_DIR/bin/pagorin_dialog_tests.exe" --gtest_filter='DialogPictures.*' \
     >"$SCREENS_DIR/dialogs.log" 2>&1; then
  for shot in settings-scan:settings-dialog select-scanner:scanner-chooser about:about-box; do
    cp "$BUILD_DIR/tests/app/${shot%%:*}-1033.png" "$SCREENS_DIR/${shot#*:}.png"
  done
else
  shortfall "the dialogs' pictures failed (see $SCREENS_DIR/dialogs.log)"
fi
