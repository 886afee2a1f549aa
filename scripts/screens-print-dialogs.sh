#!/usr/bin/env bash
# Makes the pictures of the printing, page-layout and export dialogs for docs/screens/: the picture
# program runs in Wine's virtual desktop (which draws captions and frames as Windows does) on a
# private Xvfb with a Wine prefix of its own, opens each dialog on a design and saves each window
# as the screen shows it. The print dialogs need the CUPS PDF queue (scripts/print-queue.sh).
#   scripts/screens-print-dialogs.sh [output-folder] [test-case-filter]      default docs/screens, all
set -euo pipefail
. "$(dirname "$0")/screens-session.sh"
out=$(realpath -m "${1:-$root/docs/screens}")
filter=${2:-*}
exe=$(screens_program print_dialog_screens)
mkdir -p "$out"

screens_private_display
export KV_SCREENS_DIR
KV_SCREENS_DIR=$(screens_winpath "$out")
# The program waits for each window itself and writes the pictures before it ends; it runs in a
# folder of its own for its temporary files.
work="$(dirname "$exe")/print-dialogs-work"
mkdir -p "$work"
(cd "$work" && screens_on_desktop "$exe" --no-intro=true "--test-case=$filter" </dev/null)
ls -1 "$out"/*.png
