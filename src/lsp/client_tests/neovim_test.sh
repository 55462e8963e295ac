#!/usr/bin/env bash
# A real editor's own client: runs Neovim, headless, with its built-in
# language-server client on a train document with a planted fault, and checks
# that the diagnostics it receives are those of `scenario-tool check` (line,
# column, message, severity) and that a hover on a keyword names the record.
# Skips (status 77) when Neovim is not installed.
set -euo pipefail
tool=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
command -v nvim >/dev/null 2>&1 || { echo "nvim is not installed: skipped"; exit 77; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir docs
"$tool" documents --out docs
line=$work/docs/Borvasco_Lestrano_linea.txt
train=$work/docs/Borvasco_Lestrano_40817-.txt
# The third signal on the cell of the second (a compile fault), and a
# misspelt keyword on the line after it (a warning).
first=$(grep -n '^segnale' "$train" | head -1 | cut -d: -f1)
second=$((first + 1))
third=$((first + 2))
fourth=$((first + 3))
sed -i "${third}s/^segnale, *[0-9]*/segnale,    $(sed -n "${second}p" "$train" | cut -d, -f2 | tr -d ' ')/" "$train"
sed -i "${fourth}s/^segnale/sengale/" "$train"
cp "$line" "$train" "$work/"
"$tool" check --line "$line" --train "$train" --format json > check.json 2>/dev/null || true

SCENARIO_TOOL=$tool CHECK_JSON=$work/check.json RESULT=$work/result.txt HOVER_LINE=$third \
  timeout 60 nvim --headless -u NONE -i NONE -n "$train" -c "luafile $here/neovim_client.lua" \
  </dev/null >nvim.log 2>&1 || true
if [ ! -s result.txt ]; then
  echo "Neovim wrote no result"; cat nvim.log; exit 1
fi
cat result.txt
grep -qx OK result.txt
# The documents on disk are never touched by the server.
cmp "$line" "$work/Borvasco_Lestrano_linea.txt"
cmp "$train" "$work/Borvasco_Lestrano_40817-.txt"
