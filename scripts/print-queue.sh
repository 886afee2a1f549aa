#!/usr/bin/env bash
# Starts CUPS (when not running) with a PDF queue named "PDF" that writes into the folder given as
# $1, so that printing tests under Wine have a real spooler. "stop" as $1 ends a cupsd started here.
set -euo pipefail
SUDO=
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; fi
pidfile=/tmp/korvanelle-cupsd.pid

if [ "${1:-}" = stop ]; then
  if [ -f "$pidfile" ]; then $SUDO kill "$(cat "$pidfile")" 2>/dev/null || true; rm -f "$pidfile"; fi
  exit 0
fi

out=${1:?usage: print-queue.sh OUTDIR | stop}
mkdir -p "$out"
chmod 0777 "$out"
# cups-pdf writes as an unprivileged user into this folder.
if ! grep -qx "Out $out" /etc/cups/cups-pdf.conf; then
  $SUDO sed -i "s|^Out .*|Out $out|" /etc/cups/cups-pdf.conf
fi
$SUDO sed -i 's|^#\?AnonDirName .*|AnonDirName '"$out"'|' /etc/cups/cups-pdf.conf
# A second daemon would take the socket from the first and split the jobs between them.
if ! lpstat -r 2>/dev/null | grep -q 'is running' && ! pgrep -x cupsd >/dev/null; then
  $SUDO /usr/sbin/cupsd
  for _ in $(seq 50); do lpstat -r 2>/dev/null | grep -q 'is running' && break; sleep 0.1; done
  pgrep -o -x cupsd > "$pidfile" || true
fi
if ! lpstat -p PDF >/dev/null 2>&1; then
  $SUDO lpadmin -p PDF -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd -E 2>/dev/null
  $SUDO lpadmin -d PDF
fi
lpstat -p PDF
