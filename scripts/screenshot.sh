#!/usr/bin/env bash
# Makes the pictures of the main window for the README: Korvanelle runs in Wine's virtual
# desktop (which draws captions and frames as Windows does) on a private Xvfb, with a Wine prefix
# of its own, and the screen is saved once the main window shows.
#   scripts/screenshot.sh [output.png]      default docs/screens/main-window.png
set -euo pipefail
. "$(dirname "$0")/screens-session.sh"
out=${1:-$root/docs/screens/main-window.png}
exe="$build/app/Korvanelle.exe"
[ -f "$exe" ] || { echo "build first: $exe is missing" >&2; exit 1; }
mkdir -p "$(dirname "$out")"

# The program's own copy beside a clean settings folder: a first run.
screens_private_display
screens_on_desktop "$exe" </dev/null >/dev/null 2>&1 &
# Wait until the main window's caption is on the screen.
for i in $(seq 1 150); do
  if xdotool search --name 'Korvanelle$' >/dev/null 2>&1; then break; fi
  sleep 0.2
done
sleep "${KV_SHOT_SETTLE:-6}"  # the splash fades out and the view renders its first side
# A first run shows New Project over the main window: Escape cancels it, which keeps the design of
# the saved case kind and layout. On the main window alone the key changes nothing.
xdotool key Escape 2>/dev/null || true
sleep 2
import -window root "$out"
echo "$out"
