#!/usr/bin/env bash
# Makes the pictures of the editing canvas for docs/screens/: the picture program runs in Wine's
# virtual desktop (which draws captions and frames as Windows does) on a private Xvfb with a Wine
# prefix of its own, and saves the screen with the canvas and with its context menu open.
#   scripts/canvas-screens.sh [output-folder]      default docs/screens
set -euo pipefail
. "$(dirname "$0")/screens-session.sh"
out=${1:-$root/docs/screens}
exe=$(screens_program canvas_screens)
mkdir -p "$out"

screens_private_display
export KV_SCREENS_DIR
KV_SCREENS_DIR=$(screens_winpath "$out")
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-}"
cd "$(dirname "$exe")"
screens_on_desktop "$exe" </dev/null
screens_expect "$out" canvas-back-cover canvas-context-menu
