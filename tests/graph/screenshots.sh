#!/usr/bin/env bash
# Screenshots of the four graph styles on the Win32 surface, at 200 x 64 and at 600 x 200 pixels.
#   tests/graph/screenshots.sh BUILD_DIR OUT_DIR   (BUILD_DIR: a win64 build with graph_showcase.exe)
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "$1" && pwd)
mkdir -p "$2" && out=$(cd "$2" && pwd)
. "$root/tools/wine-env.sh"
mkdir -p "$out"
prefix=$build/wineprefix
xvfb_start || exit 1
trap 'wine_session_stop "$prefix"; xvfb_stop' EXIT
wine_prefix_init "$prefix" && wine_session_start "$prefix" || exit 1
export WINEPREFIX=$prefix
exe=$build/tests/graph/graph_showcase.exe

shoot() { # name width height styles...
  local name=$1 w=$2 h=$3
  shift 3
  "$WINE_LOADER" "$exe" "$w" "$h" 6 "$@" </dev/null >/dev/null 2>&1 &
  local pid=$!
  sleep 4
  import -window root "$out/$name.png" && echo "$out/$name.png"
  wait "$pid"
}

shoot styles-200x64 200 64 0 1 2 3
shoot styles-600x200-a 600 200 0 1
shoot styles-600x200-b 600 200 2 3
