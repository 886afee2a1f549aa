#!/usr/bin/env bash
# Makes the pictures of the printing, page-layout and export dialogs for docs/screens/: the picture
# program runs in Wine's virtual desktop (which draws captions and frames as Windows does) on a
# private Xvfb with a Wine prefix of its own, opens each dialog on a design and saves each window
# as the screen shows it. The print dialogs need the CUPS PDF queue (scripts/print-queue.sh).
#   scripts/screens-print-dialogs.sh [output-folder] [test-case-filter]      default docs/screens, all
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KV_BUILD_DIR:-$root/build}
out=$(realpath -m "${1:-$root/docs/screens}")
filter=${2:-*}
exe="$build/tests/print/print_dialog_screens.exe"
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
export KV_SCREENS_DIR
KV_SCREENS_DIR=$(winepath -w "$out" 2>/dev/null || echo "$out")
# The program waits for each window itself and writes the pictures before it ends; it runs in a
# folder of its own for its temporary files.
work="$build/tests/print/screens-work"
mkdir -p "$work"
(cd "$work" && "$build/wine-run" explorer "/desktop=kv,1280x800" \
  "$(winepath -w "$exe" 2>/dev/null || echo "$exe")" --no-intro=true "--test-case=$filter" </dev/null)
ls -1 "$out"/*.png
