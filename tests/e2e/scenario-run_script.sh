#!/usr/bin/env bash
# The run script scenario's set-up (run-scenario.sh calls it with WINEPREFIX set): a waiter that,
# each time the driver has written the file "run-request" naming a design (there or not), starts
# scripts/run.sh on that design's full path here (as a user types ~/album.kvl), with this build
# and the scenario's prefix. "stop" ends the waiter.
#   scenario-run_script.sh start|stop <build dir> <scenario dir>
set -euo pipefail
action=$1
build=$2
run=$3
root=$(cd "$(dirname "$0")/../.." && pwd)

case "$action" in
start)
  (
    # Polls for the driver's requests and runs the script for each in turn; the driver's own time
    # limits end a scenario that stops asking.
    cd /
    i=0
    while [ $i -lt 1800 ]; do
      if [ -f "$run/run-request" ]; then
        name=$(cat "$run/run-request")
        rm -f "$run/run-request"
        env -u DISPLAY KV_BUILD_DIR="$build" "$root/scripts/run.sh" "$run/$name" || true
        i=0
      fi
      sleep 0.1
      i=$((i + 1))
    done
  ) </dev/null >"$run/run-script.log" 2>&1 &
  echo $! >"$run/run-script.pid"
  ;;
stop)
  if [ -f "$run/run-script.pid" ]; then kill "$(cat "$run/run-script.pid")" 2>/dev/null || true; fi
  echo "--- run.sh output"
  cat "$run/run-script.log" 2>/dev/null || true
  ;;
esac
