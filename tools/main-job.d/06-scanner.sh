# Main-job step, sourced by tools/main-job.sh (and usable before the tests the same way): installs the virtual
# TWAIN scanner where Wine's source manager finds sources. The manager knows only its own sane.ds and
# gphoto2.ds, by full path in C:\windows\twain_32 (32-bit programs) or C:\windows\twain_64 (64-bit ones), so
# the scanner goes over gphoto2.ds there, and the DLL override "gphoto2.ds" = native makes Wine load it.
# Set by the caller: BUILD_DIR, WINEPREFIX, WINE_LOADER, top (PAGORIN_ARCH when known).

scanner_bits=32
case ${PAGORIN_ARCH:-} in
  x86_64) scanner_bits=64 ;;
  i686) scanner_bits=32 ;;
  *) [[ $WINE_LOADER == *64 ]] && scanner_bits=64 ;;
esac
scanner_folder=$WINEPREFIX/drive_c/windows/twain_$scanner_bits
mkdir -p "$scanner_folder"
if ! cmp -s "$BUILD_DIR/bin/PagorinScanner.ds" "$scanner_folder/gphoto2.ds"; then
  cp "$BUILD_DIR/bin/PagorinScanner.ds" "$scanner_folder/gphoto2.ds.new"
  mv -f "$scanner_folder/gphoto2.ds.new" "$scanner_folder/gphoto2.ds"
fi
"$BUILD_DIR/wine-run" reg add 'HKCU\Software\Wine\DllOverrides' /v gphoto2.ds /d native /f >/dev/null 2>&1 ||
  echo "scanner: could not set the DLL override for gphoto2.ds" >&2
echo "scanner: virtual TWAIN scanner installed as C:\\windows\\twain_$scanner_bits\\gphoto2.ds" \
     "(product \"Pagorin Virtual Scanner\"; [Scanner] section of the lab scenario)"
