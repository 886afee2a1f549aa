#!/bin/sh
# Runs the canvas's print program, then checks the PDFs the "PDF" queue wrote: the run printed
# exactly the jewel-case job (three pages), the calibration job and the disc job (one page each),
# and no other (not the cancelled one, the one with no side, the one given up for a picture it
# lacked, nor one from the print dialog that comes back after the preview); the jewel-case job has
# the disc, front and back pages at the sizes of the design's pages, and its first page looks like
# the exported image of the same page and Print Preview's picture of it.
#   $1 the Wine runner, $2 the print program, $3 the folder the queue writes to when
#   /etc/cups/cups-pdf.conf names none.
set -u
runner=$1
program=$2
. "$(dirname "$0")/../print-jobs.sh"
folders="$3 $(queue_folder)"
print_tag
"$runner" "$program" --no-intro=true --reporters=console || exit 1
status=0
check_run_jobs "KvCanvasPrint 3
KvCanvasCalib 1
KvCanvasDisc 1" || status=1

pdf=$(run_job KvCanvasPrint)
if [ -n "$pdf" ]; then
  info=$(pdfinfo -f 1 -l 3 "$pdf")
  echo "$info" | grep -E '^(Pages|Page +[0-9]+ size)'
  n=1
  while read -r w h; do
    size=$(echo "$info" | sed -n "s/^Page *$n size: *\([0-9.]*\) x \([0-9.]*\) pts.*/\1 \2/p")
    pw=${size%% *}; ph=${size##* }
    awk -v a="$pw" -v b="$ph" -v c="$w" -v d="$h" 'BEGIN { exit !((a-c)^2 <= 9 && (b-d)^2 <= 9) }' ||
      { echo "page $n is $pw x $ph, expected $w x $h"; status=1; }
    n=$((n + 1))
  done < canvas-print-expected.txt
  # The first page against the exported image of the same page, both at 50 pixels per inch.
  pdftoppm -f 1 -l 1 -r 50 -png "$pdf" printed-page >/dev/null 2>&1
  printed=$(ls printed-page*.png 2>/dev/null | head -n 1)
  if [ -z "$printed" ]; then
    echo "pdftoppm made no picture"; status=1
  else
    size=$(/usr/bin/identify -format '%wx%h' canvas-print-page1.png)
    differ=$(/usr/bin/compare -metric AE -fuzz 25% "$printed" -resize "$size!" canvas-print-page1.png null: 2>&1)
    total=$(echo "$size" | awk -Fx '{ print $1 * $2 }')
    echo "first page: $differ of $total pixels differ from the exported image"
    awk -v d="$differ" -v t="$total" 'BEGIN { exit !(d + 0 <= t * 0.03) }' || { echo "the printed page differs"; status=1; }
    # A blank print would match a blank export: the page must carry the picture.
    ink=$(/usr/bin/convert "$printed" -fuzz 30% -fill white -opaque white -fill black +opaque white \
          -format '%[fx:mean]' info:)
    awk -v m="$ink" 'BEGIN { exit !(m < 0.995) }' || { echo "the printed page is empty"; status=1; }
    rm -f printed-page*.png
  fi
  # Print Preview's disc page against the printed one, both at the preview's resolution: the
  # preview shows the printable area, so its ink moves by the printer's margin. Within 2 pixels.
  read -r dpi offx offy < canvas-preview-offset.txt
  pdftoppm -f 1 -l 1 -r "$dpi" -png "$pdf" printed-full >/dev/null 2>&1
  full=$(ls printed-full*.png 2>/dev/null | head -n 1)
  if [ -z "$full" ] || [ ! -s canvas-preview-page1.png ]; then
    echo "no printed page or no preview page to compare"; status=1
  else
    ink() { /usr/bin/convert "$1" -fuzz 22% -format '%@' info: | tr 'x+' '  '; }
    set -- $(ink "$full") $(ink canvas-preview-page1.png)
    echo "ink of the printed page: $1x$2 at $3,$4; of the preview: $5x$6 at $(($7 + offx)),$(($8 + offy))"
    awk -v a="$1 $2 $3 $4" -v b="$5 $6 $(($7 + offx)) $(($8 + offy))" 'BEGIN {
      split(a, p); split(b, q); for (i = 1; i <= 4; i++) if ((p[i] - q[i])^2 > 4) exit 1 }' ||
      { echo "the preview's page differs from the printed page"; status=1; }
    rm -f printed-full*.png
  fi
else
  echo "no PDF for KvCanvasPrint-$KV_PRINT_TAG in $folders"
  status=1
fi
exit $status
