#!/usr/bin/env bash
# Makes the pictures of the splash window, the message box (each icon kind) and the About, Units
# and Grid Size dialogs for docs/screens/: the picture program runs in Wine's virtual desktop
# (which draws captions and frames as Windows does) on a private Xvfb with a Wine prefix of its own,
# and saves each window as the screen shows it.
#   scripts/screens-small-dialogs.sh [output-folder]      default docs/screens
set -euo pipefail
. "$(dirname "$0")/screens-session.sh"
out=${1:-$root/docs/screens}
exe=$(screens_program app_dialog_screens)
mkdir -p "$out"

screens_private_display
# The program waits for each window itself and writes the pictures before it ends.
screens_on_desktop "$exe" "$(screens_winpath "$out")" </dev/null
screens_expect "$out" splash message-box-error message-box-warning message-box-information message-box-application \
  about units grid-size grid-size-mm
