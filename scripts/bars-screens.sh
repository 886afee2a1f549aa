#!/usr/bin/env bash
# Pictures of the formatting bar (for a text, an image and a page), the colour bar and the colour
# picker, taken inside Wine's virtual desktop (which draws captions and frames as Windows does),
# written to docs/screens/. Builds the picture program first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KV_BUILD_DIR:-$root/build}
"$root/scripts/build.sh" --target bars_screens >/dev/null
out="$root/docs/screens"
mkdir -p "$out"
cd "$build/tests/bars"
"$build/wine-run" explorer /desktop=kvbars,1280x800 bars_screens.exe 'Z:'"${out//\//\\}"
ls -1 "$out"/format-bar-*.png "$out"/color-*.png
