#!/bin/sh
# Runs the print test program, then checks the PDFs the "PDF" queue wrote:
# each job has two pages, A4 portrait then Letter landscape.
#   $1 the Wine runner, $2 the test program, $3 the folder the queue writes to
#   when /etc/cups/cups-pdf.conf names none (or a folder that is gone).
set -u
runner=$1
program=$2
own=$3
root=$(cd "$(dirname "$0")/../../.." && pwd)
SUDO=
[ "$(id -u)" -eq 0 ] || SUDO=sudo
queue_folder() { sed -n 's/^Out //p' /etc/cups/cups-pdf.conf 2>/dev/null | head -n 1; }

# The spooler and its queue are shared by every test run on the machine: another run may have ended
# the spooler, and the queue stops itself after a job it could not write (its folder gone, say).
# Start what is missing, keep the folder the queue writes into while it exists (other runs look
# there), and let the queue take and print jobs again.
out=$(queue_folder)
[ -n "$out" ] && [ -d "$out" ] || out=$own
"$root/scripts/print-queue.sh" "$out" >/dev/null 2>&1 || echo "warning: could not start the PDF queue"
$SUDO cupsenable PDF 2>/dev/null
$SUDO cupsaccept PDF 2>/dev/null

# Job titles of this run alone: another run's jobs of the same name are never taken for ours.
KV_PRINT_TAG="$$-$(date +%s | cut -c6-)"
export KV_PRINT_TAG
"$runner" "$program" --no-intro=true --reporters=console || exit 1
status=0
for base in KvPrintDirect KvPrintPreview; do
  title="$base-$KV_PRINT_TAG"
  # The queue's folder may change while the job is spooled (another run setting up the queue):
  # every folder it named is searched.
  folders="$out $own"
  pdf=
  for _ in $(seq 300); do
    folders="$folders $(queue_folder)"
    for folder in $folders; do
      pdf=$(find "$folder" -maxdepth 1 -name "${title}*.pdf" 2>/dev/null | sort | tail -n 1)
      [ -n "$pdf" ] && [ -s "$pdf" ] && pdfinfo "$pdf" >/dev/null 2>&1 && break 2
    done
    pdf=
    sleep 0.2
  done
  if [ -z "$pdf" ]; then
    echo "no PDF for $title in $(echo $folders | tr ' ' '\n' | sort -u | tr '\n' ' ')"
    lpstat -p PDF 2>&1
    status=1
    continue
  fi
  info=$(pdfinfo -f 1 -l 2 "$pdf")
  echo "$pdf:"
  echo "$info" | grep -E '^(Pages|Page +[0-9]+ size)'
  echo "$info" | grep -Eq '^Pages: +2$' || { echo "expected 2 pages"; status=1; }
  echo "$info" | grep -Eq '^Page +1 size: +59[45](\.[0-9]+)? x 84[12](\.[0-9]+)? pts' || { echo "page 1 is not A4 portrait"; status=1; }
  echo "$info" | grep -Eq '^Page +2 size: +792(\.[0-9]+)? x 612(\.[0-9]+)? pts' || { echo "page 2 is not Letter landscape"; status=1; }
  rm -f "$pdf"
done
exit $status
