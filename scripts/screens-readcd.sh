#!/usr/bin/env bash
# Makes the pictures of the Read CD dialog (drives, matches, MP3 grid), the lookup settings dialog
# and the disc chooser for docs/screens/: the picture program runs in Wine's virtual desktop on a
# private Xvfb with a Wine prefix of its own, and saves each window as the screen shows it.
#   scripts/screens-readcd.sh [output-folder]      default docs/screens
set -euo pipefail
. "$(dirname "$0")/screens-session.sh"
out=${1:-$root/docs/screens}
exe=$(screens_program readcd_screens)
# The disc tests' recorded MP3 files.
data="$root/tests/disc/data"
mkdir -p "$out"

screens_private_display
screens_on_desktop "$exe" "$(screens_winpath "$out")" "$(screens_winpath "$data")" </dev/null
screens_expect "$out" read-cd-drives read-cd-matches read-cd-mp3 read-cd-settings disc-select
