#!/usr/bin/env bash
# What the Read CD scenario needs beyond its own prefix, set up before the driver runs and taken
# down when the scenario ends (run-scenario.sh calls it with WINEPREFIX set):
#  - the prefix runs as Windows 98, so that the program reads discs through ASPI;
#  - the ASPI layer in the system folder is our stand-in with a recorded disc (tests/e2e/
#    StandInAspi.cpp), taken before Wine's own, and the configuration manager lists its drive as E:;
#  - the disc database is the loopback test server (tests/disc/cddb_server.py, 127.0.0.1 only) of
#    this scenario alone; it writes its port to <scenario dir>/cddb_server.port.
#   scenario-read_cd.sh start|stop <build dir> <scenario dir>
set -euo pipefail
action=$1
build=$2
run=$3
here=$(cd "$(dirname "$0")" && pwd)
server="$here/../disc/cddb_server.py"

case "$action" in
start)
  winpath() { printf 'Z:%s' "${1//\//\\}"; }
  # The prefix is a hard-linked copy: the file is replaced, never written into.
  cp --remove-destination "$build/tests/e2e/wnaspi32.dll" "$WINEPREFIX/drive_c/windows/system32/wnaspi32.dll"
  {
    env -u DISPLAY "$build/wine-run" winecfg -v win98
    env -u DISPLAY "$build/wine-run" reg add 'HKCU\Software\Wine\DllOverrides' /v wnaspi32 /t REG_SZ /d native /f
    env -u DISPLAY "$build/wine-run" regedit /S "$(winpath "$here/Win98CdDrive.reg")"
  } </dev/null >/dev/null 2>&1
  python3 "$server" start "$run" "$here/../disc/data"
  ;;
stop)
  python3 "$server" stop "$run"
  ;;
esac
