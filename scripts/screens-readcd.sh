#!/usr/bin/env bash
# Makes the pictures of the Read CD dialog (drives, matches, MP3 grid), the lookup settings dialog
# and the disc chooser for docs/screens/: the picture program runs in Wine's virtual desktop on a
# private Xvfb with a Wine prefix of its own, and saves each window as the screen shows it.
#   scripts/screens-readcd.sh [output-folder]      default docs/screens
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KV_BUILD_DIR:-$root/build}
out=${1:-$root/docs/screens}
exe="$build/tests/disc/readcd_screens.exe"
data="$root/tests/disc/data"
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
"$build/wine-run" explorer "/desktop=kv,1280x800" "$(winepath -w "$exe" 2>/dev/null || echo "$exe")" \
  "$(winepath -w "$out" 2>/dev/null || echo "$out")" "$(winepath -w "$data" 2>/dev/null || echo "$data")" </dev/null
for f in read-cd-drives read-cd-matches read-cd-mp3 read-cd-settings disc-select; do
  [ -s "$out/$f.png" ] || { echo "missing: $out/$f.png" >&2; exit 1; }
  echo "$out/$f.png"
done
