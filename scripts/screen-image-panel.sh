#!/usr/bin/env bash
# Takes the picture of the Images panel with its image folder chooser open after a search, in
# Wine's virtual desktop (which draws captions and frames as Windows does), into
# docs/screens/image-folder-chooser.png.
set -euo pipefail
. "$(dirname "$0")/screens-session.sh"
exe=$(screens_program bars_image_panel_demo -j 3)
out="$root/docs/screens/image-folder-chooser.png"
mkdir -p "$(dirname "$out")"
cd "$(dirname "$exe")"
rm -f demo-ready.txt demo-quit.txt
# A private display for this picture: the prefix's server must start on it.
"$build/wine-stop" >/dev/null 2>&1 || true
unset DISPLAY
screens_on_desktop "$exe" >/dev/null 2>&1 &
pid=$!
# The program says when its windows are ready (it generates the image folder first).
for _ in $(seq 1 1500); do
  [ -f demo-ready.txt ] && break
  kill -0 "$pid" 2>/dev/null || { echo "the demo program ended early" >&2; exit 1; }
  sleep 0.2
done
[ -f demo-ready.txt ] || { echo "the demo program did not get ready" >&2; exit 1; }
display=$(cut -d' ' -f1 "$build/wineprefix.display")
/usr/bin/import -display ":$display" -window root "$out"
touch demo-quit.txt
wait "$pid" || true
"$build/wine-stop" >/dev/null 2>&1 || true
echo "$out"
