# Sourced by the README's commands: decides the Windows target this machine runs, builds it, and
# keeps the Wine prefix, the wineserver and the Xvfb display that programs and tests run on.

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Wine's loader and server for each target.
wine_loader() { case $1 in i686) echo /usr/lib/wine/wine ;; *) echo /usr/lib/wine/wine64 ;; esac; }
wine_server() { case $1 in i686) echo /usr/lib/wine/wineserver32 ;; *) echo /usr/lib/wine/wineserver64 ;; esac; }
other_arch() { case $1 in i686) echo x86_64 ;; *) echo i686 ;; esac; }

# The programs are 32-bit. A kernel without 32-bit user space (some virtual machines) cannot start
# Wine's 32-bit loader; there the same sources are built for x86-64 and run under wine64. PAGORIN_ARCH=x86_64
# chooses that path on any machine (as CI may take it); PAGORIN_ARCH=i686 insists on the 32-bit one.
if [ -z "${PAGORIN_ARCH:-}" ]; then
  if /usr/lib/wine/wine --version >/dev/null 2>&1; then PAGORIN_ARCH=i686; else PAGORIN_ARCH=x86_64; fi
fi
case $PAGORIN_ARCH in
  i686) WINE_ARCH=win32 ;;
  x86_64) WINE_ARCH=win64 ;;
  *) echo "PAGORIN_ARCH must be i686 or x86_64, not '$PAGORIN_ARCH'" >&2; return 1 ;;
esac
WINE_LOADER=$(wine_loader "$PAGORIN_ARCH"); WINE_SERVER=$(wine_server "$PAGORIN_ARCH")

# Each target builds into a folder of its own, so both trees live side by side: build/ for i686, build-x64/
# for x86-64. PAGORIN_BUILD_DIR names the folder of the target that runs; the other one gets a suffix.
tree_dir() { # arch
  if [ -n "${PAGORIN_BUILD_DIR:-}" ]; then
    if [ "$1" = "$PAGORIN_ARCH" ]; then echo "$PAGORIN_BUILD_DIR"; else echo "$PAGORIN_BUILD_DIR-$1"; fi
  else
    case $1 in i686) echo "$top/build" ;; *) echo "$top/build-x64" ;; esac
  fi
}
BUILD_DIR=$(tree_dir "$PAGORIN_ARCH")
export WINEPREFIX=$BUILD_DIR/wineprefix WINEARCH=$WINE_ARCH WINEDEBUG=${WINEDEBUG:--all} WINELOADER=$WINE_LOADER
export LC_ALL=C.UTF-8

# Configures and builds one target architecture into a folder: optimised, with debug information, unless the
# extra arguments say otherwise.
build_tree() { # arch dir [extra cmake args...]
  local arch=$1 dir=$2; shift 2
  cmake -S "$top" -B "$dir" -G Ninja -DPAGORIN_ARCH="$arch" -DPAGORIN_WINE="$(wine_loader "$arch")" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$dir" -j "$(nproc)" ${PAGORIN_TARGETS:+--target $PAGORIN_TARGETS}
}

# Starts one more virtual display and sets XVFB_DISPLAY to its name.
XVFB_PIDS=()
start_xvfb() {
  local n pid
  for n in $(seq 90 130); do
    # A display whose server died leaves its lock and socket behind: they are cleared and the number taken.
    pid=$(tr -d ' ' 2>/dev/null <"/tmp/.X$n-lock") || pid=
    if [ -n "$pid" ] && [ ! -d "/proc/$pid" ]; then rm -f "/tmp/.X$n-lock" "/tmp/.X11-unix/X$n"; fi
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] || break
  done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PIDS+=($!)
  XVFB_DISPLAY=":$n"
  for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$n ] && return 0; sleep 0.1; done
  echo "Xvfb did not start" >&2; return 1
}

# Starts the virtual display for the windows.
start_display() {
  start_xvfb
  export DISPLAY=$XVFB_DISPLAY
}

# Keeps a wineserver for a prefix and starts Wine's own services and its desktop process, so that they hold no
# test's output open: a program Wine starts inherits the error output of the one that made it start, and ctest
# waits for a test's output to close. The desktop process ends when no program uses the desktop, and the next
# window would start it again from a test, so a command prompt waiting on a pipe that never ends keeps the
# desktop in use until the wineserver is stopped.
start_wineserver() { # prefix display
  local keeper=$1/desktop-keeper.fifo
  WINEPREFIX=$1 "$WINE_SERVER" -p
  [ -p "$keeper" ] || mkfifo "$keeper"
  WINEPREFIX=$1 DISPLAY=$2 "$WINE_LOADER" cmd.exe /c "set /p wait=" <>"$keeper" >/dev/null 2>&1 &
  WINEPREFIX=$1 DISPLAY=$2 "$WINE_LOADER" cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
}

# Creates the prefix once (no Mono or Gecko prompts), then keeps one wineserver for the whole run.
start_wine() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine: creating the $WINE_ARCH prefix $WINEPREFIX"
    WINEDLLOVERRIDES="mscoree,mshtml=" "$WINE_LOADER" wineboot.exe -i >/dev/null 2>&1 || true
    "$WINE_SERVER" -w
  fi
  start_wineserver "$WINEPREFIX" "$DISPLAY"
}

# The prefixes of the cases that run alone (they need the mouse or the focus, or change machine-wide state:
# Pagorin's product key, Quenfold's install targets): copies of the build tree's prefix, made once, each with
# its own wineserver and display, so that such cases run side by side, one in each. Wine's own programs and
# libraries are linked, not copied (no case writes there). Writes the resource file that hands the copies out
# (RESOURCE_SPEC); tools/wine-run enters the copy a case was given. Call after start_wine.
CASE_PREFIXES=${PAGORIN_CASE_PREFIXES:-4}
RESOURCE_SPEC=$BUILD_DIR/test-resources.json
CASE_PREFIX_LIST=()
start_case_prefixes() {
  local n prefix ids=()
  for n in $(seq "$CASE_PREFIXES"); do
    prefix=$WINEPREFIX-p$n
    [ -f "$prefix/system.reg" ] || copy_prefix "$WINEPREFIX" "$prefix"
    start_xvfb
    echo "$XVFB_DISPLAY" >"$prefix/display"
    start_wineserver "$prefix" "$XVFB_DISPLAY"
    CASE_PREFIX_LIST+=("$prefix")
    ids+=("{\"id\": \"p$n\", \"slots\": 1}")
  done
  local IFS=,
  cat >"$RESOURCE_SPEC" <<EOF_SPEC
{
  "version": {"major": 1, "minor": 0},
  "local": [{"prefix": [${ids[*]}]}]
}
EOF_SPEC
}

# The copy takes the registry as the prefix's wineserver last saved it, whole (it saves by renaming).
copy_prefix() { # from to
  local from=$1 to=$2 system=drive_c/windows/system32 wow=drive_c/windows/syswow64
  rm -rf "$to.new" && mkdir "$to.new"
  tar -C "$from" --exclude="./$system" --exclude="./$wow" -cf - . | tar -C "$to.new" -xf -
  cp -al "$from/$system" "$to.new/$system"
  [ ! -d "$from/$wow" ] || cp -al "$from/$wow" "$to.new/$wow"
  mv "$to.new" "$to"
}

stop_all() {
  local prefix pid
  "$WINE_SERVER" -k >/dev/null 2>&1 || true
  for prefix in "${CASE_PREFIX_LIST[@]}"; do WINEPREFIX=$prefix "$WINE_SERVER" -k >/dev/null 2>&1 || true; done
  for pid in "${XVFB_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
}
