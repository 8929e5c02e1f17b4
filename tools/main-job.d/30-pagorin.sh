# Main-job step, sourced by tools/main-job.sh: installs Pagorin into the prefix as an installer would (folder,
# product key with "InstallDir" and "Working Path", language file, help placeholders, the lab's libraries),
# starts it on the lab's devices, closes it cleanly and prints what it did.
# Set by the caller: BUILD_DIR, WINEPREFIX, top; PAGORIN_LAB from the lab step.

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

# Starts Pagorin from its folder, waits for its window, closes it and reports the exit code.
pagorin_run_once() {
  local code=0
  (cd "$pagorin_dir_unix" && "$BUILD_DIR/wine-run" ./Pagorin.exe) &
  local pid=$!
  sleep 15  # start-up under Wine, then a few seconds on the lab's devices
  echo "pagorin: running; closing its window"
  "$BUILD_DIR/wine-run" cmd.exe /c 'taskkill /im Pagorin.exe' >/dev/null 2>&1 || true
  wait $pid || code=$?
  echo "pagorin: Pagorin.exe ended with exit code $code"
}
pagorin_run_once

day=$(date +%d)
echo "pagorin: day log $pagorin_work_unix/PGRN_$day.log (last lines):"
tail -n 6 "$pagorin_work_unix/PGRN_$day.log" 2>/dev/null | tr -d '\r' | sed 's/^/pagorin:   /' || echo "pagorin: no day log"
echo "pagorin: registry after the run:"
"$BUILD_DIR/wine-run" reg.exe query "$pagorin_key" 2>/dev/null | tr -d '\r' | sed -n '3,40p' | sed 's/^/pagorin:   /'
