#!/usr/bin/env bash
# Start-up time of Korvanelle to a shown main frame under Wine, splash excluded: runs the start-up
# benchmark program several times for each of two starts, taking turns (each run a new process with
# a fresh settings folder, Wine's server kept warm), and prints each run and the medians.
#   design       the frame opens on its design ("New Project at start" off)
#   new-project  a first start: the frame opens with New Project over it
# See tools/bench/StartupBenchmark.cpp for what each figure counts. The machine's load is printed
# with the figures; pin the runs (taskset) when other work shares the machine.
# On a virtual machine whose processors sleep when idle, every call the program makes to Wine's
# server and to the X server waits for a sleeping processor to wake: an idle machine starts the
# program about twice as slowly as a busy one. KV_BENCH_AWAKE=1 keeps every processor awake with
# lowest-priority busy loops during the runs, so that the figures measure the program, not the
# wake-ups; give both figures.
#   [KV_BENCH_AWAKE=1] scripts/bench-startup.sh [runs]     default 7 of each
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KV_BUILD_DIR:-$root/build}
runs=${1:-7}
"$root/scripts/build.sh" --target bench_app_startup >/dev/null
bench="$build/tools/bench/bench_app_startup.exe"
"$build/wine-run" cmd.exe /c exit   # the server and services up before the first measured run
out=$(mktemp)
spinners=()
cleanup() {
  rm -f "$out"
  if [ ${#spinners[@]} -gt 0 ]; then kill "${spinners[@]}" 2>/dev/null || true; fi
}
trap cleanup EXIT
if [ "${KV_BENCH_AWAKE:-0}" = 1 ]; then
  # Only the processors this script may use (taskset pins it and its children): a loop on a
  # processor the program never runs on wakes nothing it waits for, and takes a core from others.
  for cpu in $(taskset -cp $$ | sed 's/.*: //' | tr ',' '\n' | awk -F- '{ e = NF > 1 ? $2 : $1; for (c = $1; c <= e; c++) print c }'); do
    taskset -c "$cpu" nice -n 19 sh -c 'while :; do :; done' &
    spinners+=($!)
  done
  echo "processors kept awake by ${#spinners[@]} lowest-priority busy loops"
fi
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
for i in $(seq 1 "$runs"); do
  for start in design new-project; do
    line=$(KV_BENCH_START=$start "$build/wine-run" "$bench" | tr -d '\r')
    echo "run $i $start: $line"
    echo "$start $line" >>"$out"
  done
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
median() {  # start, field
  grep "^$1 " "$out" | sed -n "s/.* $2=\([-0-9.]*\).*/\1/p" | sort -n |
    awk -v s="$1" -v f="$2" '{a[NR]=$1} END {printf "median %s %s=%s over %d runs (min %s, max %s)\n", s, f, a[int((NR+1)/2)], NR, a[1], a[NR]}'
}
median design shown_ms
median new-project shown_ms
median new-project dialog_ms
