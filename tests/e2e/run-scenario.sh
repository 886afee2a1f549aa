#!/usr/bin/env bash
# Runs one end-to-end scenario: Korvanelle.exe in a Wine prefix, an X server and a Wine desktop of
# its own (so scenarios never share a screen, a focus, a settings folder or a profile), driven from
# outside by the scenario driver. Every prefix is a hard-linked copy of one template prefix that is
# made once per build (Wine replaces its registry files instead of writing into them; the registry
# files are copied for real all the same).
#   run-scenario.sh <build dir> <driver.exe> <Korvanelle.exe> <scenario>
# The scenario's screenshots, the files it made and its measurements stay in
# <build dir>/e2e/<scenario>/ (metrics.txt: one "name value" line per measurement).
set -uo pipefail
build=$1
driver=$2
app=$3
scenario=$4
base="$build/e2e"
template="$base/prefix-template"
run="$base/$scenario"
prefix="$run/prefix"
mkdir -p "$base"

winpath() { printf 'Z:%s' "${1//\//\\}"; }

started=$(date +%s%N)

# The template: a set-up prefix whose windows live in a 1280x800 virtual desktop that Wine draws
# itself (captions and frames, as a user sees them). Made once, under a lock.
(
  flock 9
  [ -f "$template/.e2e-ready" ] && exit 0
  rm -rf "$template" "$template.display"
  mkdir -p "$template"
  export WINEPREFIX="$template"
  # No display: the build's Wine runner starts an Xvfb of the prefix's own, which ends below.
  env -u DISPLAY "$build/wine-run" regedit /S "$(winpath "$(dirname "$0")/VirtualDesktop.reg")" \
    </dev/null >/dev/null 2>&1
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
  if [ -f "$template.display" ]; then kill "$(cut -d' ' -f2 "$template.display")" 2>/dev/null; fi
  rm -f "$template.display" "$template.xlock"
  # The registry must be on disk now; a prefix without the virtual desktop would show windows
  # without frames.
  grep -q 'Explorer\\\\Desktops' "$template/user.reg" || { echo "template prefix not set up" >&2; exit 1; }
  touch "$template/.e2e-ready"
) 9>"$base/template.lock" || exit 1

rm -rf "$run"
mkdir -p "$run"
cp -al "$template" "$prefix"
# The files at the top (registry, server marker) are Wine's to rewrite: real copies.
for f in "$template"/* "$template"/.[!.]*; do [ -f "$f" ] && cp --remove-destination "$f" "$prefix/"; done

export WINEPREFIX="$prefix"
# A scenario that needs more than a fresh prefix (another system version, a stand-in library, a
# loopback server) has a script of its own beside this one: "start" before the driver runs, "stop"
# when the scenario ends.
hook="$(cd "$(dirname "$0")" && pwd)/scenario-$scenario.sh"
[ -f "$hook" ] || hook=
cleanup() {
  [ -z "$hook" ] || bash "$hook" stop "$build" "$run"
  wineserver -k 2>/dev/null
  if [ -f "$prefix.display" ]; then kill "$(cut -d' ' -f2 "$prefix.display")" 2>/dev/null; fi
  rm -rf "$prefix" "$prefix.display" "$prefix.xlock" "$prefix.lock"
}
trap cleanup EXIT

if [ -n "$hook" ] && ! bash "$hook" start "$build" "$run"; then
  echo "the scenario's set-up ($hook) failed" >&2
  exit 1
fi

# A scenario on a machine set up otherwise for every program in its prefix (one without printers,
# say) has the environment for it in scenario-<scenario>.env beside this script.
envfile="$(dirname "$0")/scenario-$scenario.env"
if [ -f "$envfile" ]; then set -a; . "$envfile"; set +a; fi

export KV_E2E_APP
KV_E2E_APP=$(winpath "$app")
export KV_E2E_OUT
KV_E2E_OUT=$(winpath "$run")
export KV_E2E_SOURCE
KV_E2E_SOURCE=$(winpath "$(cd "$(dirname "$0")/../.." && pwd)")

# The driver's output goes to a file: a Wine process that outlives it must not keep ctest's pipe.
env -u DISPLAY "$build/wine-run" "$driver" --no-intro=true --reporters=console "--test-case=$scenario" \
  </dev/null >"$run/driver.log" 2>&1
rc=$?
tr -d '\r' <"$run/driver.log"
# doctest runs nothing, and says it passed, when the name matches no scenario: a misspelt name in
# CMakeLists.txt must not pass. Exactly one scenario runs.
ran=$(tr -d '\r' <"$run/driver.log" | sed -n 's/^\[doctest\] test cases: *\([0-9]*\) |.*/\1/p' | tail -n 1)
if [ "${ran:-0}" != 1 ]; then
  echo "the driver ran ${ran:-no} scenarios for \"$scenario\", not one: is there a TEST_CASE(\"$scenario\")?"
  [ $rc -ne 0 ] || rc=1
fi
ended=$(date +%s%N)
echo "ctest_wall_ms $(( (ended - started) / 1000000 ))" >>"$run/metrics.txt"
echo "--- $scenario metrics"
cat "$run/metrics.txt" 2>/dev/null
exit $rc
