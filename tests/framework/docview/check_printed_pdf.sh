#!/bin/sh
# Runs the print test program, then checks the PDFs the "PDF" queue wrote:
# each job has two pages, A4 portrait then Letter landscape.
#   $1 the Wine runner, $2 the test program, $3 the folder the queue writes to
#   when /etc/cups/cups-pdf.conf names none.
set -u
runner=$1
program=$2
out=$(sed -n 's/^Out //p' /etc/cups/cups-pdf.conf 2>/dev/null | head -n 1)
[ -n "$out" ] && [ -d "$out" ] || out=$3
marker=$(mktemp)
sleep 1
"$runner" "$program" --no-intro=true --reporters=console || { rm -f "$marker"; exit 1; }
status=0
for title in KvPrintDirect KvPrintPreview; do
  pdf=
  for _ in $(seq 100); do
    pdf=$(find "$out" -name "${title}*.pdf" -newer "$marker" 2>/dev/null | sort | tail -n 1)
    [ -n "$pdf" ] && [ -s "$pdf" ] && pdfinfo "$pdf" >/dev/null 2>&1 && break
    pdf=
    sleep 0.2
  done
  if [ -z "$pdf" ]; then
    echo "no PDF for $title in $out"
    status=1
    continue
  fi
  info=$(pdfinfo -f 1 -l 2 "$pdf")
  echo "$pdf:"
  echo "$info" | grep -E '^(Pages|Page +[0-9]+ size)'
  echo "$info" | grep -Eq '^Pages: +2$' || { echo "expected 2 pages"; status=1; }
  echo "$info" | grep -Eq '^Page +1 size: +59[45](\.[0-9]+)? x 84[12](\.[0-9]+)? pts' || { echo "page 1 is not A4 portrait"; status=1; }
  echo "$info" | grep -Eq '^Page +2 size: +792(\.[0-9]+)? x 612(\.[0-9]+)? pts' || { echo "page 2 is not Letter landscape"; status=1; }
done
rm -f "$marker"
exit $status
