#!/usr/bin/env bash
# Runs protocol_test.js, the client library's test of the language server.
# Skips (status 77) when Node.js or the library (`npm ci` in this folder) is
# missing.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
command -v node >/dev/null 2>&1 || { echo "node is not installed: skipped"; exit 77; }
[ -d "$here/node_modules/vscode-languageserver-protocol" ] ||
  { echo "run 'npm ci' in $here first: skipped"; exit 77; }
exec timeout 120 node "$here/protocol_test.js" "$1"
