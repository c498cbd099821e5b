# Shared by the Wine scripts: finds Wine, prepares a prefix, starts a virtual display and a wine session.
# Source it; it defines functions and sets no shell options of its own.

WINE_LOADER=$(command -v wine64 || true)
[ -n "$WINE_LOADER" ] || WINE_LOADER=/usr/lib/wine/wine64
WINE_SERVER=$(command -v wineserver || true)
[ -n "$WINE_SERVER" ] || WINE_SERVER=/usr/lib/wine/wineserver
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
# Size of the virtual desktop every program of a prefix runs in; it has a taskbar with a tray.
VANTOREL_DESKTOP_SIZE=${VANTOREL_DESKTOP_SIZE:-1000x700}

wine_check_loader() {
  if [ ! -x "$WINE_LOADER" ] || [ ! -x "$WINE_SERVER" ]; then
    echo "wine: the 64-bit loader ($WINE_LOADER) or wineserver ($WINE_SERVER) is missing; run tools/setup" >&2
    return 1
  fi
}

# wine_prefix_init PREFIX [DPI]: makes a quiet prefix once (no crash dialog, a virtual desktop with a
# tray, DPI dots per inch: 96 unless given).
wine_prefix_init() {
  local prefix=$1 dpi=${2:-96}
  mkdir -p "$(dirname "$prefix")"
  (
    flock 9
    [ -f "$prefix/.vantorel-ready" ] && exit 0
    rm -rf "$prefix"
    export WINEPREFIX=$prefix
    if ! timeout 300 "$WINE_LOADER" wineboot -i </dev/null >/dev/null 2>&1; then
      echo "wine: wineboot failed or timed out for $prefix" >&2
      exit 1
    fi
    local reg="$prefix/vantorel-setup.reg"
    cat >"$reg" <<REG
REGEDIT4

[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]
"Default"="$VANTOREL_DESKTOP_SIZE"

[HKEY_CURRENT_USER\\Control Panel\\Desktop]
"LogPixels"=dword:$(printf %08x "$dpi")
REG
    timeout 120 "$WINE_LOADER" regedit /S "$reg" </dev/null >/dev/null 2>&1 || { echo "wine: regedit failed" >&2; exit 1; }
    timeout 120 "$WINE_SERVER" -w || { echo "wine: wineserver did not finish" >&2; exit 1; }
    touch "$prefix/.vantorel-ready"
  ) 9>"$prefix.lock"
}

# wine_session_start PREFIX: a persistent wineserver and a warm prefix whose service processes hold
# no pipe of ours (they inherit the standard streams of the first Wine process).
wine_session_start() {
  local prefix=$1
  WINEPREFIX=$prefix "$WINE_SERVER" -p </dev/null >/dev/null 2>&1 || true
  WINEPREFIX=$prefix timeout 120 "$WINE_LOADER" cmd /c exit </dev/null >/dev/null 2>&1 || {
    echo "wine: could not start a process in $prefix" >&2
    return 1
  }
}

wine_session_stop() {
  WINEPREFIX=$1 timeout 30 "$WINE_SERVER" -k >/dev/null 2>&1 || true
}

# xvfb_start: starts Xvfb on a free display and exports DISPLAY; XVFB_PID names the server.
xvfb_start() {
  local n=${1:-90} tries i
  for tries in 1 2 3 4 5 6 7 8; do
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    for i in $(seq 1 100); do
      kill -0 "$XVFB_PID" 2>/dev/null || break # lost a race for this display: try the next one
      xdpyinfo >/dev/null 2>&1 && return 0
      sleep 0.1
    done
    kill "$XVFB_PID" 2>/dev/null
    n=$((n + 1))
  done
  echo "Xvfb did not start" >&2
  return 1
}

xvfb_stop() {
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null
  wait "${XVFB_PID:-}" 2>/dev/null || true
}
