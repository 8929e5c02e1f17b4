# Main-job step, sourced by tools/main-job.sh: installs the shipped drive database with Quenfold into the
# prefix, once as a plain run (its success box switched off by -ns) and once with -regu, and prints what it did.
# Set by the caller: BUILD_DIR, WINEPREFIX, WINE_LOADER, top, shortfall.

quenfold_run() {
  local code=0
  "$BUILD_DIR/wine-run" "$BUILD_DIR/bin/Quenfold.exe" "$@" || code=$?
  # The shell sees the exit code modulo 256: 255, 254 and 253 are -1, -2 and -3.
  if [ "$code" -gt 127 ]; then code=$((code - 256)); fi
  case $code in
    0) meaning="installed" ;;
    1) meaning="already up to date" ;;
    -1) meaning="own file unreadable or attached block wrong" ;;
    -2) meaning="attached document not valid" ;;
    -3) meaning="installing failed" ;;
    *) meaning="unknown" ;;
  esac
  echo "quenfold: Quenfold.exe $* -> exit code $code ($meaning)"
  [ "$code" = 0 ] || [ "$code" = 1 ] || shortfall "Quenfold.exe $* ended with exit code $code ($meaning)"
}

quenfold_files() {
  local folder file
  for folder in 'C:\ProgramData' "$("$BUILD_DIR/wine-run" cmd.exe /c echo %LOCALAPPDATA% | tr -d '\r')"; do
    file=$(readlink -f "$("$BUILD_DIR/wine-run" winepath.exe -u "$folder\\Corvell\\drivers\\driverdatabase.xml" | tr -d '\r')") || true
    if [ -f "$file" ]; then
      echo "quenfold: installed file $file ($(stat -c %s "$file") bytes, modified $(date -r "$file" '+%F %T'))"
    else
      echo "quenfold: missing $file"
    fi
  done
}

echo "quenfold: installing the shipped drive database into $WINEPREFIX"
quenfold_run -ns
quenfold_files
quenfold_run -ns -regu
quenfold_files
echo "quenfold: registry HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvell\\DRIVER2 (first lines):"
quenfold_registry=$("$BUILD_DIR/wine-run" reg.exe query 'HKLM\SOFTWARE\Corvell\DRIVER2' /s | tr -d '\r') ||
  echo "quenfold: the key is missing"
echo "$quenfold_registry" | sed -n '1,40p'
echo "quenfold: $(echo "$quenfold_registry" | grep -c '^HKEY.*\\MAPPINGS\\') device mappings and" \
     "$(echo "$quenfold_registry" | grep -c '^HKEY.*\\SETS\\') class mappings in the registry"
