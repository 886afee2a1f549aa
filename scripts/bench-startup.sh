#!/usr/bin/env bash
# Start-up time of Korvanelle to a shown main frame under Wine, splash excluded: runs the start-up
# benchmark program several times (each a new process with a fresh settings folder, Wine's
# server kept warm) and prints each run and the median.
#   scripts/bench-startup.sh [runs]     default 7
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KV_BUILD_DIR:-$root/build}
runs=${1:-7}
"$root/scripts/build.sh" --target bench_app_startup >/dev/null
bench="$build/tests/app/bench_app_startup.exe"
"$build/wine-run" cmd.exe /c exit   # the server and services up before the first measured run
values=()
for i in $(seq 1 "$runs"); do
  line=$("$build/wine-run" "$bench" | tr -d '\r')
  echo "run $i: $line"
  values+=("$(echo "$line" | sed -n 's/.*shown_ms=\([0-9.]*\).*/\1/p')")
done
printf '%s\n' "${values[@]}" | sort -n | awk '{a[NR]=$1} END {printf "median shown_ms=%s over %d runs\n", a[int((NR+1)/2)], NR}'
