#!/usr/bin/env bash
# Pictures of the Text Editor bar for docs/screens: the main window with the bar at its default
# width, a two-line title and a track being edited, then the bar narrowed. They are taken in
# Wine's virtual desktop, which draws window frames and captions as Windows does.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KV_BUILD_DIR:-$root/build}
"$root/scripts/build.sh" --target bars_text_editor_screens >/dev/null
out="$root/docs/screens"
mkdir -p "$out"
# The program takes a Windows path; Wine's drive Z: is the root of the file system.
winout="Z:$(printf '%s' "$out" | tr '/' '\\')"
"$build/wine-run" explorer /desktop=kv,1280x800 "$build/tests/bars/bars_text_editor_screens.exe" "$winout"
ls -l "$out"/text-editor*.png
