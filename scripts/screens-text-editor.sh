#!/usr/bin/env bash
# Pictures of the Text Editor bar for docs/screens: the main window with the bar at its default
# width, a two-line title and a track being edited, then the bar narrowed. They are taken in
# Wine's virtual desktop, which draws window frames and captions as Windows does.
set -euo pipefail
. "$(dirname "$0")/screens-session.sh"
exe=$(screens_program bars_text_editor_screens)
out="$root/docs/screens"
mkdir -p "$out"
screens_on_desktop "$exe" "$(screens_winpath "$out")"
ls -l "$out"/text-editor*.png
