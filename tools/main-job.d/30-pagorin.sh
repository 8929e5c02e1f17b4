# Main-job step, sourced by tools/main-job.sh: installs Pagorin into the prefix as an installer would (folder,
# product key with "InstallDir" and "Working Path", language file, help placeholders, the lab's libraries),
# runs the hot-key road on the lab's devices (page, countdown, PDF, disc, the program ending by itself) and prints
# where the disc image, the PDF and the day log are. While the program counts down the wait for further pages,
# the main window (the transaction's page in its tree) and the alert dialog are pictured.
# Set by the caller: BUILD_DIR, WINEPREFIX, top; PAGORIN_LAB from the lab step, SCREENS_DIR and SCREENS_WIN from
# the dialogs' step.

pagorin_dir='C:\Program Files\Tessaro Systems\Pagorin'
pagorin_work='C:\PagorinWork'
pagorin_dir_unix=$WINEPREFIX/drive_c/Program\ Files/Tessaro\ Systems/Pagorin
pagorin_work_unix=$WINEPREFIX/drive_c/PagorinWork
mkdir -p "$pagorin_dir_unix" "$pagorin_work_unix"
for file in Pagorin.exe Quenfold.exe KTROBOTS20.dll KAVO.dll PDFLIBRARY.dll Fendrix.exe; do
  if [ -f "$BUILD_DIR/bin/$file" ]; then cp "$BUILD_DIR/bin/$file" "$pagorin_dir_unix/"; fi
done
cp "$top/resources/lang/Pagorin.ini" "$pagorin_dir_unix/"
cp "$top/resources/help/Pagorin.chm" "$pagorin_dir_unix/"
pagorin_key='HKLM\Software\Tessaro Systems\Pagorin'
"$BUILD_DIR/wine-run" reg.exe add "$pagorin_key" /v InstallDir /d "$pagorin_dir" /f >/dev/null
"$BUILD_DIR/wine-run" reg.exe add "$pagorin_key" /v "Working Path" /d "$pagorin_work" /f >/dev/null
echo "pagorin: installed into $pagorin_dir ($(ls "$pagorin_dir_unix" | tr '\n' ' '))"
echo "pagorin: product key $pagorin_key with InstallDir and Working Path = $pagorin_work"

# The hot-key road: a page scanned from the lab's virtual scanner is handed to Pagorin on its command line, as
# a hot-key tool starts it. Pagorin counts down the wait for further pages (5 s), compiles the page's PDF,
# writes the disc through the lab's robot and burning engine and ends by itself after the last disc.
pagorin_hotkey_run() {
  local code=0 page hotkey_unix=$pagorin_work_unix/HotKey
  rm -rf "$hotkey_unix"
  mkdir -p "$hotkey_unix"
  "$BUILD_DIR/wine-run" reg.exe add "$pagorin_key" /v "Next Page Wait" /t REG_DWORD /d 5 /f >/dev/null
  "$BUILD_DIR/wine-run" reg.exe add "$pagorin_key" /v "Compiled PDF" /t REG_DWORD /d 1 /f >/dev/null
  # The scanner gets a lab of its own (one sheet); the robot and the writer stay on the demo lab.
  if [ -f "$BUILD_DIR/bin/twainscan.exe" ]; then
    env -u PAGORIN_LAB "$BUILD_DIR/wine-run" "$BUILD_DIR/bin/twainscan.exe" 'C:\PagorinWork\HotKey' 1 jpg rgb 150 >/dev/null 2>&1 || true
  fi
  page=$(cd "$hotkey_unix" && ls *.jpg 2>/dev/null | head -n 1)
  if [ -z "$page" ]; then
    echo "pagorin: no page could be scanned for the hot-key run"
    return
  fi
  echo "pagorin: hot-key run with the page C:\\PagorinWork\\HotKey\\$page"
  "$BUILD_DIR/wine-run" "$BUILD_DIR/bin/windowshot.exe" 120000 "TfrmMain=$SCREENS_WIN\\main-window.png" \
    "TfrmAlert=$SCREENS_WIN\\alert-dialog.png" >"$SCREENS_DIR/windowshot.log" 2>&1 &
  local shots=$!
  (cd "$pagorin_dir_unix" && timeout 600 "$BUILD_DIR/wine-run" ./Pagorin.exe "C:\\PagorinWork\\HotKey\\$page") || code=$?
  echo "pagorin: Pagorin.exe ended by itself with exit code $code"
  wait "$shots" || echo "pagorin: the main window and the alert dialog were not pictured (see $SCREENS_DIR/windowshot.log)"
  local image
  image=$(ls -t "$PAGORIN_LAB_DIR"/discs/disc-*.iso 2>/dev/null | head -n 1)
  if [ -z "$image" ]; then
    echo "pagorin: no disc was written"
    return
  fi
  echo "pagorin: disc image $image:"
  xorriso -abort_on NEVER -indev "$image" -find / -exec lsdl 2>/dev/null | sed -n "s/.* '\(\/..*\)'$/pagorin:   \1/p"
  local disc_copy=$pagorin_work_unix/LastDisc
  rm -rf "$disc_copy"
  mkdir -p "$disc_copy"
  osirrox -indev "$image" -extract / "$disc_copy" >/dev/null 2>&1 || true
  local pdf
  pdf=$(find "$disc_copy" -name '*.pdf' | head -n 1)
  if [ -n "$pdf" ]; then
    echo "pagorin: the PDF, as read back from the disc: $pdf"
  else
    echo "pagorin: the disc holds no PDF"
  fi
}
pagorin_hotkey_run

day=$(date +%d)
echo "pagorin: day log $pagorin_work_unix/PGRN_$day.log (last lines):"
tail -n 14 "$pagorin_work_unix/PGRN_$day.log" 2>/dev/null | tr -d '\r' | sed 's/^/pagorin:   /' || echo "pagorin: no day log"
echo "pagorin: registry after the run:"
"$BUILD_DIR/wine-run" reg.exe query "$pagorin_key" 2>/dev/null | tr -d '\r' | sed -n '3,40p' | sed 's/^/pagorin:   /'
