#!/usr/bin/env bash
# Pictures of the Images bar in the running program: Korvanelle starts (a first run) with a
# generated "Backgrounds" folder beside the program, which is the default image folder, so the
# bar shows its thumbnails; then the disc is selected on the canvas and the first thumbnail
# double-clicked, which puts that image behind the disc.
#   docs/screens/images-bar.png            the bar with the folder loaded
#   docs/screens/images-bar-background.png after the double click
set -euo pipefail
. "$(dirname "$0")/screens-session.sh"
exe="$build/app/Korvanelle.exe"
[ -f "$exe" ] || { echo "build first: $exe is missing" >&2; exit 1; }
shots="$root/docs/screens"
mkdir -p "$shots"

backgrounds="$build/app/Backgrounds"
rm -rf "$backgrounds"
mkdir -p "$backgrounds"
colours=(steelblue darkorange seagreen orchid goldenrod slategray tomato teal)
for i in "${!colours[@]}"; do
  c=${colours[$i]}
  case $((i % 3)) in
    0) size=640x480 ;;
    1) size=300x600 ;;
    *) size=500x500 ;;
  esac
  convert -size "$size" "gradient:$c-white" -fill white -draw "circle 150,150 150,60" \
    "$backgrounds/photo-$((i + 1)).$([ $((i % 2)) = 0 ] && echo png || echo jpg)"
done

screens_temporary+=("$backgrounds")
# A first run: no settings of an earlier run.
screens_private_display
# The other screenshot scripts share this prefix: their bar layout and settings in the registry go too.
"$build/wine-run" reg delete 'HKCU\Software\Korvanelle' /f >/dev/null 2>&1 || true
rm -rf "$WINEPREFIX/drive_c/users/"*/AppData/Local/Korvanelle "$WINEPREFIX/drive_c/users/"*/"Local Settings/Application Data/Korvanelle" 2>/dev/null || true
screens_on_desktop "$exe" </dev/null >/dev/null 2>&1 &
for _ in $(seq 1 150); do
  if xdotool search --name 'Korvanelle$' >/dev/null 2>&1; then break; fi
  sleep 0.2
done
# A first run asks for the kind of design: the first one (a CD case with one disc) is taken.
for _ in $(seq 1 150); do
  w=$(xdotool search --name '^New Project$' 2>/dev/null | head -n 1) && [ -n "$w" ] && break
  sleep 0.2
done
sleep 2  # the splash fades out before the dialog takes keys
[ -n "${w:-}" ] && xdotool key --window "$w" Return
sleep "${KV_SHOT_SETTLE:-8}"  # the canvas renders, the thumbnails decode
import -window root "$shots/images-bar.png"

# Select the disc (a point on its ring), then double-click the first thumbnail.
xdotool mousemove 556 200 click 1
sleep 1
xdotool mousemove 1200 200 click --repeat 2 --delay 80 1
sleep 3
import -window root "$shots/images-bar-background.png"
echo "$shots/images-bar.png $shots/images-bar-background.png"
