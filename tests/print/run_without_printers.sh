#!/bin/sh
# Runs a test program in a Wine prefix of its own that sees no printer: the spooler's CUPS client
# is pointed at a socket that does not exist. A prefix of its own, because Wine drops the printers
# it no longer finds from its prefix's registry, and other tests print meanwhile.
#   $1 the Wine runner, $2 the prefix folder, then the program and its arguments.
runner=$1
prefix=$2
shift 2
export WINEPREFIX="$prefix"
export CUPS_SERVER=/nonexistent/korvanelle-no-cups.sock
"$runner" "$@"
status=$?
# The prefix's own server (and the Xvfb the runner started for it) end with the test.
WINEPREFIX="$prefix" wineserver -k 2>/dev/null
if [ -f "$prefix.display" ]; then kill "$(cut -d' ' -f2 "$prefix.display")" 2>/dev/null; rm -f "$prefix.display"; fi
exit $status
