#!/usr/bin/env bash
# The mutation run over hostile input: design files of every version, the own clipboard format,
# packed DIBs, pictures inserted into a design and picture files in the Images panel's folder
# (thumbnail, cell and double-click), each mutant fed to the real readers under Wine
# (tests/model/fuzz/HostileInputFuzz.cpp). Batches run in one Wine process each; a batch that
# dies is started again after the mutant it died on. Not part of ctest: 5,000 mutants of every kind
# take about a quarter of an hour (kinds may run side by side, each with its own KV_FUZZ_PREFIX).
#
#   scripts/fuzz-hostile.sh [mutants per kind (5000)] [kind ...]
#
# Prints one line per kind: reads, reads that succeeded, crashes, hangs over 10 s, processes
# over 256 MB and leaking failed reads; the findings (index, what) go to build/fuzz/<kind>.findings.
# A finding's input is written with: hostile_input_fuzz.exe write <kind> <index> <seed> <file>.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KV_BUILD_DIR:-$root/build}
exe=$build/tests/model/hostile_input_fuzz.exe
total=${1:-5000}
shift || true
kinds=${*:-v507 v450 v420 v350 v300 v6 v1 clip dib jpg tif bmp png gif folder}
seed=${KV_FUZZ_SEED:-20261208}
batch=${KV_FUZZ_BATCH:-500}
out=$build/fuzz
# A prefix of its own: the run uses the clipboard, which tests in the shared prefix use too.
export WINEPREFIX=${KV_FUZZ_PREFIX:-$build/wineprefix-fuzz}
[ -x "$exe" ] || { echo "build $exe first (scripts/build.sh hostile_input_fuzz)" >&2; exit 1; }
mkdir -p "$out"
status=0
for kind in $kinds; do
  findings=$out/$kind.findings
  : > "$findings"
  i=0 reads=0 ok=0 crashes=0 hangs=0 allocs=0 leaks=0
  while [ "$i" -lt "$total" ]; do
    n=$((total - i)); [ "$n" -gt "$batch" ] && n=$batch
    log=$out/$kind-$i.log
    timeout 1200 "$build/wine-run" "$exe" "$kind" "$i" "$n" "$seed" >"$log" 2>&1 </dev/null
    tr -d '\r' <"$log" >"$log.txt" && mv "$log.txt" "$log"
    reads=$((reads + $(grep -c '^at ' "$log")))
    leaks=$((leaks + $(grep -c '^leak ' "$log")))
    grep -E '^(leak|crash|hang|alloc) ' "$log" >>"$findings"
    last=$(grep '^at ' "$log" | tail -n 1 | cut -d' ' -f2)
    if done_line=$(grep '^done ' "$log"); then
      ok=$((ok + $(echo "$done_line" | cut -d' ' -f4)))
    fi
    if grep -q '^crash ' "$log"; then crashes=$((crashes + 1))
    elif grep -q '^hang ' "$log"; then hangs=$((hangs + 1))
    elif grep -q '^alloc ' "$log"; then allocs=$((allocs + 1))
    elif ! grep -q '^done ' "$log"; then
      # Ended without a word: a crash that got past the handler, or the time-out.
      crashes=$((crashes + 1))
      echo "died ${last:-?}" >>"$findings"
      if [ -z "$last" ]; then echo "$kind: the program does not start" >&2; tail -n 5 "$log" >&2; status=1; break; fi
    fi
    if grep -q '^done ' "$log" && ! grep -q '^alloc ' "$log"; then
      i=$((i + n))
    else
      i=$((last + 1))
    fi
  done
  echo "$kind: mutants $reads, read $ok, crashes $crashes, hangs $hangs, over 256 MB $allocs, leaks $leaks"
  [ $((crashes + hangs + allocs + leaks)) -eq 0 ] || status=1
done
# Several runs side by side (one per kind) set KV_FUZZ_KEEP and end the prefix's Wine afterwards.
[ -n "${KV_FUZZ_KEEP:-}" ] || "$build/wine-stop" >/dev/null 2>&1 || true
exit $status
