# Main-job step, sourced by tools/main-job.sh: installs Pagorin into the prefix as an installer would (folder,
# product key with "InstallDir" and "Working Path", language file, help placeholders, the lab's libraries),
# runs the hot-key road on the lab's devices (page, countdown, PDF, disc, the program ending by itself) and prints
# where the disc image, the PDF and the day log are. While the program counts down the wait for further pages,
# the main window (the transaction's page in its tree) and the alert dialog are pictured.
# Set by the caller: BUILD_DIR, WINEPREFIX, top, shortfall; PAGORIN_LAB from the lab step, SCREENS_DIR and
# SCREENS_WIN from the dialogs' step.

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
# The lab's scanner as the chosen one with its scan settings (colour modes, resolutions, file formats: the
# chosen one first), as the operator leaves them after a first run, so no settings dialog stands in the road.
pagorin_scanner='Pagorin Virtual Scanner'
"$BUILD_DIR/wine-run" reg.exe add "$pagorin_key" /v "Default Scanner" /d "$pagorin_scanner" /f >/dev/null
for setting in "Color Modes=1|0|1|2" "Resolution=150|75|150|300|600" "File Formats=4|0|2|4|7" "Page Size=1|1|3"; do
  "$BUILD_DIR/wine-run" reg.exe add "$pagorin_key\\$pagorin_scanner" /v "${setting%%=*}" /d "${setting#*=}" /f >/dev/null
done
echo "pagorin: installed into $pagorin_dir ($(ls "$pagorin_dir_unix" | tr '\n' ' '))"
echo "pagorin: product key $pagorin_key with InstallDir and Working Path = $pagorin_work"

# The hot-key road: pages scanned from the lab's virtual scanner are handed to Pagorin as a hot-key tool does,
# the first on Pagorin's command line, the others by later starts that hand theirs over to the running one.
# Pagorin counts down the wait for further pages (5 s), compiles the pages' PDF, writes the disc through the
# lab's robot and burning engine and ends by itself after the last disc. Whatever falls short of three pages on
# one disc with a three-page PDF is a shortfall of the main job.
pagorin_pages=3
pagorin_hotkey_run() {
  local code=0 hotkey_unix=$pagorin_work_unix/HotKey pages=() page
  rm -rf "$hotkey_unix"
  mkdir -p "$hotkey_unix"
  "$BUILD_DIR/wine-run" reg.exe add "$pagorin_key" /v "Next Page Wait" /t REG_DWORD /d 5 /f >/dev/null
  "$BUILD_DIR/wine-run" reg.exe add "$pagorin_key" /v "Compiled PDF" /t REG_DWORD /d 1 /f >/dev/null
  # The scanner gets a lab of its own (three sheets); the robot and the writer stay on the demo lab.
  env -u PAGORIN_LAB "$BUILD_DIR/wine-run" "$BUILD_DIR/bin/twainscan.exe" 'C:\PagorinWork\HotKey' $pagorin_pages \
    jpg rgb 150 >"$pagorin_work_unix/twainscan.log" 2>&1 || true
  pages=("$hotkey_unix"/*.jpg)
  pages=("${pages[@]##*/}")
  if [ ${#pages[@]} -ne $pagorin_pages ]; then
    shortfall "the virtual scanner gave ${#pages[@]} of $pagorin_pages pages (see $pagorin_work_unix/twainscan.log)"
    return
  fi
  echo "pagorin: hot-key run with the pages ${pages[*]} of C:\\PagorinWork\\HotKey"
  "$BUILD_DIR/wine-run" "$BUILD_DIR/bin/windowshot.exe" 120000 "TfrmMain=$SCREENS_WIN\\main-window.png" \
    "TfrmAlert=$SCREENS_WIN\\alert-dialog.png" >"$SCREENS_DIR/windowshot.log" 2>&1 &
  local shots=$!
  # The later starts look for the running one by its window, which exists once its start is in the day log.
  # That log is read from the start of this run: it is removed first (the product key was installed anew
  # without the day it last began a log, so the program would begin it afresh anyway).
  local log=$pagorin_work_unix/PGRN_$(date +%d).log
  rm -f "$log"
  (cd "$pagorin_dir_unix" && timeout 600 "$BUILD_DIR/wine-run" ./Pagorin.exe "C:\\PagorinWork\\HotKey\\${pages[0]}") &
  local first=$!
  local started=0
  for _ in $(seq 600); do
    grep -q 'Application started' "$log" 2>/dev/null && { started=1; break; }
    kill -0 "$first" 2>/dev/null || break
    sleep 0.1
  done
  if [ $started = 1 ]; then
    for page in "${pages[@]:1}"; do
      if (cd "$pagorin_dir_unix" &&
          timeout 120 "$BUILD_DIR/wine-run" ./Pagorin.exe "C:\\PagorinWork\\HotKey\\$page"); then
        echo "pagorin: a later start handed $page over"
      else
        shortfall "a later start could not hand $page over"
      fi
    done
  else
    shortfall "Pagorin did not start within 60 s (no \"Application started\" in $log), so no page was handed over"
  fi
  wait "$first" || code=$?
  case $code in
    0) echo "pagorin: Pagorin.exe ended by itself with exit code 0" ;;
    124) shortfall "Pagorin did not end by itself within 600 s" ;;
    *) shortfall "Pagorin ended with exit code $code" ;;
  esac
  wait "$shots" ||
    shortfall "the main window and the alert dialog were not pictured (see $SCREENS_DIR/windowshot.log)"
  pagorin_check_disc "$hotkey_unix" "${pages[@]}"
}

# The disc the run wrote: listed by xorriso, every page compared with the page scanned, the PDF checked by qpdf.
pagorin_check_disc() { # page folder, pages...
  local scanned=$1 images image disc_copy=$pagorin_work_unix/LastDisc page found pdf pdf_pages
  shift
  images=("$PAGORIN_LAB_DIR"/discs/disc-*.iso)
  if [ ${#images[@]} -eq 0 ]; then
    shortfall "no disc was written"
    return
  fi
  [ ${#images[@]} -eq 1 ] || shortfall "${#images[@]} discs were written, not one"
  image=$(ls -t "${images[@]}" | head -n 1)
  echo "pagorin: disc image $image:"
  xorriso -abort_on NEVER -indev "$image" -find / -exec lsdl 2>/dev/null | sed -n "s/.* '\(\/..*\)'$/pagorin:   \1/p"
  rm -rf "$disc_copy"
  mkdir -p "$disc_copy"
  osirrox -indev "$image" -extract / "$disc_copy" >/dev/null 2>&1 || true
  for page in "$@"; do
    found=$(find "$disc_copy" -type f -name "$page" | head -n 1)
    if [ -n "$found" ] && cmp -s "$found" "$scanned/$page"; then
      echo "pagorin: $page is on the disc, byte for byte as scanned"
    else
      shortfall "$page is not on the disc as scanned"
    fi
  done
  pdf=$(find "$disc_copy" -name '*.pdf' | head -n 1)
  if [ -z "$pdf" ]; then
    shortfall "the disc holds no PDF"
  elif ! qpdf --check "$pdf" >/dev/null 2>&1; then
    shortfall "the PDF read back from the disc, $pdf, fails qpdf's check"
  else
    pdf_pages=$(qpdf --show-npages "$pdf")
    echo "pagorin: the PDF read back from the disc, $pdf: checked by qpdf, $pdf_pages pages"
    [ "$pdf_pages" = $# ] || shortfall "the PDF holds $pdf_pages of the $# pages"
  fi
}
pagorin_hotkey_run

day=$(date +%d)
echo "pagorin: day log $pagorin_work_unix/PGRN_$day.log (last lines):"
tail -n 14 "$pagorin_work_unix/PGRN_$day.log" 2>/dev/null | tr -d '\r' | sed 's/^/pagorin:   /' || echo "pagorin: no day log"
echo "pagorin: registry after the run:"
"$BUILD_DIR/wine-run" reg.exe query "$pagorin_key" 2>/dev/null | tr -d '\r' | sed -n '3,40p' | sed 's/^/pagorin:   /'
