#!/usr/bin/env bash
# An editor that quits closes its end of the pipe while the server still has
# answers to write: the server ends with status 5 (standard output cannot be
# written), never killed by a signal.
set -uo pipefail
tool=$1
frame() { printf 'Content-Length: %d\r\n\r\n%s' "${#1}" "$1"; }
session() {
  frame '{"jsonrpc":"2.0","id":1,"method":"initialize","params":{"capabilities":{}}}'
  sleep 0.5
  for i in $(seq 2 200); do
    frame '{"jsonrpc":"2.0","id":'"$i"',"method":"shutdown"}'
  done
}
session | "$tool" lsp 2>/dev/null | head -c 10 >/dev/null
status=${PIPESTATUS[1]}
if [ "$status" -ne 5 ]; then
  echo "the server ended with status $status (a signal is 128 + its number), not 5"
  exit 1
fi
echo "ok: status 5 after the client closed its end"
