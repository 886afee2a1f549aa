#!/usr/bin/env bash
# Pictures of the formatting bar (for a text, an image and a page), the colour bar and the colour
# picker, taken inside Wine's virtual desktop (which draws captions and frames as Windows does),
# written to docs/screens/. Builds the picture program first.
set -euo pipefail
. "$(dirname "$0")/screens-session.sh"
exe=$(screens_program bars_screens)
out="$root/docs/screens"
mkdir -p "$out"
cd "$(dirname "$exe")"
screens_desktop=kvbars screens_on_desktop "$exe" "$(screens_winpath "$out")"
ls -1 "$out"/format-bar-*.png "$out"/color-*.png
