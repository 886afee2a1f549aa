#!/usr/bin/env bash
# scripts/run.sh on a machine without a display, in a prefix of its own: it says on which private
# X server Korvanelle shows, and when the program is closed (as by its close box) the X server and
# Wine's server that the script started end with it.
#   run-script-no-display.sh <build dir>
set -u
build=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
run="$build/e2e/run_script_no_display"
export WINEPREFIX="$run/prefix"
mkdir -p "$run"
# Made afresh by run.sh itself, as on the first run after a clone; the Desktop and Documents it
# links are those of a home of the test's own.
rm -rf "$WINEPREFIX" "$WINEPREFIX.display" "$run/home"
mkdir -p "$run/home"
env -u DISPLAY HOME="$run/home" KV_BUILD_DIR="$build" "$root/scripts/run.sh" </dev/null >"$run/run.log" 2>&1 &
script=$!
for _ in $(seq 1200); do [ -f "$WINEPREFIX.display" ] || ! kill -0 $script 2>/dev/null && break; sleep 0.1; done
x=$(cat "$WINEPREFIX.display" 2>/dev/null)
# WM_CLOSE to each window of the program, until the script ends: the splash and a first start's
# New Project dialog come before the main window.
for _ in $(seq 120); do
  kill -0 $script 2>/dev/null || break
  env -u DISPLAY "$build/wine-run" taskkill /im Korvanelle.exe >/dev/null 2>&1
  sleep 1
done
cat "$run/run.log"
status=0
grep -q "Korvanelle shows on the private X server :${x% *} " "$run/run.log" ||
  { echo "run.sh did not say where the program shows"; status=1; }
kill -0 $script 2>/dev/null && { echo "the program was still running"; status=1; }
for _ in $(seq 50); do kill -0 "${x#* }" 2>/dev/null || break; sleep 0.1; done
kill "${x#* }" 2>/dev/null && { echo "the X server :${x% *} outlived the program"; status=1; }
wineserver -k 2>/dev/null && { echo "Wine's server outlived the program"; status=1; }
rm -f "$WINEPREFIX.display"
exit $status
