#!/usr/bin/env bash
# The run script scenario's set-up (run-scenario.sh calls it with WINEPREFIX set): a waiter that,
# once the driver has written its design and the file "run-request" naming it, starts
# scripts/run.sh on that design's full path here (as a user types ~/album.kvl), with this build
# and the scenario's prefix. "stop" ends a waiter still waiting.
#   scenario-run_script.sh start|stop <build dir> <scenario dir>
set -euo pipefail
action=$1
build=$2
run=$3
root=$(cd "$(dirname "$0")/../.." && pwd)

case "$action" in
start)
  (
    # Polls for the driver's request; the driver's own time limits end a scenario that never asks.
    i=0
    while [ ! -f "$run/run-request" ] && [ $i -lt 1800 ]; do sleep 0.1; i=$((i + 1)); done
    [ -f "$run/run-request" ] || exit 0
    cd /
    exec env -u DISPLAY KV_BUILD_DIR="$build" "$root/scripts/run.sh" "$run/$(cat "$run/run-request")"
  ) </dev/null >"$run/run-script.log" 2>&1 &
  echo $! >"$run/run-script.pid"
  ;;
stop)
  if [ -f "$run/run-script.pid" ]; then kill "$(cat "$run/run-script.pid")" 2>/dev/null || true; fi
  echo "--- run.sh output"
  cat "$run/run-script.log" 2>/dev/null || true
  ;;
esac
