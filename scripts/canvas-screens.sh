#!/usr/bin/env bash
# Makes the pictures of the editing canvas for docs/screens/: the picture program runs in Wine's
# virtual desktop (which draws captions and frames as Windows does) on a private Xvfb with a Wine
# prefix of its own, and saves the screen with the canvas and with its context menu open.
#   scripts/canvas-screens.sh [output-folder]      default docs/screens
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KV_BUILD_DIR:-$root/build}
out=${1:-$root/docs/screens}
"$root/scripts/build.sh" --target canvas_screens >/dev/null
exe="$build/tests/canvas/canvas_screens.exe"
mkdir -p "$out"

export WINEPREFIX="$build/wineprefix-screens"
n=$(( ($$ % 300) + 600 ))
while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=":$n"
cleanup() {
  WINEPREFIX="$WINEPREFIX" wineserver -k 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
i=0; while [ ! -e "/tmp/.X11-unix/X$n" ] && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done

"$build/wine-run" cmd.exe /c exit
export KV_SCREENS_DIR
KV_SCREENS_DIR=$(winepath -w "$out" 2>/dev/null || echo "$out")
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-}"
cd "$build/tests/canvas"
"$build/wine-run" explorer "/desktop=kv,1280x800" "$(winepath -w "$exe" 2>/dev/null || echo "$exe")" </dev/null
for f in canvas-back-cover canvas-context-menu; do
  [ -s "$out/$f.png" ] || { echo "missing: $out/$f.png" >&2; exit 1; }
  echo "$out/$f.png"
done
