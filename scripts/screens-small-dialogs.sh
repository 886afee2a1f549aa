#!/usr/bin/env bash
# Makes the pictures of the splash window, the message box (each icon kind) and the About, Units
# and Grid Size dialogs for docs/screens/: the picture program runs in Wine's virtual desktop
# (which draws captions and frames as Windows does) on a private Xvfb with a Wine prefix of its own,
# and saves each window as the screen shows it.
#   scripts/screens-small-dialogs.sh [output-folder]      default docs/screens
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KV_BUILD_DIR:-$root/build}
out=${1:-$root/docs/screens}
exe="$build/tests/app/app_dialog_screens.exe"
[ -f "$exe" ] || { echo "build first: $exe is missing" >&2; exit 1; }
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
# The program waits for each window itself and writes the pictures before it ends.
"$build/wine-run" explorer "/desktop=kv,1280x800" "$(winepath -w "$exe" 2>/dev/null || echo "$exe")" \
  "$(winepath -w "$out" 2>/dev/null || echo "$out")" </dev/null
for f in splash message-box-error message-box-warning message-box-information message-box-application \
         about units grid-size grid-size-mm; do
  [ -s "$out/$f.png" ] || { echo "missing: $out/$f.png" >&2; exit 1; }
  echo "$out/$f.png"
done
