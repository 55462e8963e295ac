#!/usr/bin/env bash
# Before the Windows tests: makes the Wine prefix (WINEPREFIX) once, and keeps
# one Wine server running for the tests that follow, so that each program
# starts in tens of milliseconds. The server ends by itself a minute after the
# last program.
set -eu
mkdir -p "$WINEPREFIX"
# The server and the helpers Wine starts outlive this script: they must not
# hold its output open, or the test would wait for them.
wineserver -p60 </dev/null >/dev/null 2>&1 || true
# The first start makes the prefix; it must be done before tests run side
# by side.
"${SCENARIO_WINE:-wine}" cmd /c exit 0 </dev/null >/dev/null 2>&1
echo "wine session: ok"
