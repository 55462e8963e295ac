#!/usr/bin/env bash
# scenario-tool's own command line: near misses of commands and options get
# a "did you mean", help answers for commands and records, and each ends
# with the status the manual gives.
#   command_line_test.sh SCENARIO_TOOL
set -u
tool=$1
failed=0
expect() {  # expect STATUS TEXT -- ARGS...: the status, and TEXT in the output
  local status=$1 text=$2
  shift 3
  local out
  out=$("$tool" "$@" 2>&1)
  local got=$?
  if [ "$got" != "$status" ] || [[ $out != *"$text"* ]]; then
    echo "FAIL: scenario-tool $*: status $got (expected $status), output:"
    echo "$out" | head -5
    failed=1
  fi
}
expect 2 "unknown command 'complie'; did you mean 'compile'?" -- complie
expect 2 "unknown option --jsno; did you mean --json?" -- inspect . --jsno
expect 2 "did you mean '-Wno-cut-short'?" -- check --line a --train b -Wno-cutshort
expect 2 "--train FILE is missing" -- check --line a
expect 0 "usage: scenario-tool check" -- help check
expect 0 "segnale - signal" -- help segnale
expect 2 "did you mean 'stazione'?" -- help stazzione
expect 0 ".TH SCENARIO-DOCUMENTS 5" -- help --man
expect 0 "<!DOCTYPE html>" -- help --html
expect 0 "usage: scenario-tool COMMAND" -- help
[ $failed -eq 0 ] && echo "the command line answers as documented"
exit $failed
