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

# Starts a virtual display for the windows, unless one is given.
start_display() {
  local n
  for n in $(seq 90 130); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] || break
  done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$n ] && return 0; sleep 0.1; done
  echo "Xvfb did not start" >&2; return 1
}

# Creates the prefix once (no Mono or Gecko prompts), then keeps one wineserver for the whole run.
start_wine() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine: creating the $WINE_ARCH prefix $WINEPREFIX"
    WINEDLLOVERRIDES="mscoree,mshtml=" "$WINE_LOADER" wineboot.exe -i >/dev/null 2>&1 || true
    "$WINE_SERVER" -w
  fi
  "$WINE_SERVER" -p
  # Wine's own services start with the first program; start them here, so that they hold no test's output open.
  "$WINE_LOADER" cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
}

stop_all() {
  "$WINE_SERVER" -k >/dev/null 2>&1 || true
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
}
