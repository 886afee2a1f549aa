#!/bin/sh
# Runs the print test program, then checks the PDFs the "PDF" queue wrote: the run printed the
# direct job and the one from the preview and no other, each with two pages, A4 portrait then
# Letter landscape.
#   $1 the Wine runner, $2 the test program, $3 the folder the queue writes to
#   when /etc/cups/cups-pdf.conf names none (or a folder that is gone).
set -u
runner=$1
program=$2
own=$3
root=$(cd "$(dirname "$0")/../../.." && pwd)
SUDO=
[ "$(id -u)" -eq 0 ] || SUDO=sudo
. "$root/tests/print-jobs.sh"

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
print_tag
"$runner" "$program" --no-intro=true --reporters=console || exit 1
status=0
# The queue's folder may change while the job is spooled (another run setting up the queue): every
# folder it named is searched. Exactly the two jobs, two pages each: no other job of this run.
folders="$out $own"
check_run_jobs "KvPrintDirect 2
KvPrintPreview 2" || { lpstat -p PDF 2>&1; status=1; }
for base in KvPrintDirect KvPrintPreview; do
  pdf=$(run_job "$base")
  [ -n "$pdf" ] || continue
  info=$(pdfinfo -f 1 -l 2 "$pdf")
  echo "$pdf:"
  echo "$info" | grep -E '^(Pages|Page +[0-9]+ size)'
  echo "$info" | grep -Eq '^Page +1 size: +59[45](\.[0-9]+)? x 84[12](\.[0-9]+)? pts' || { echo "page 1 is not A4 portrait"; status=1; }
  echo "$info" | grep -Eq '^Page +2 size: +792(\.[0-9]+)? x 612(\.[0-9]+)? pts' || { echo "page 2 is not Letter landscape"; status=1; }
done
run_jobs | while read -r pdf; do rm -f "$pdf"; done
exit $status
