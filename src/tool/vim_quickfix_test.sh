#!/usr/bin/env bash
# Editors jump to scenario-tool's messages: runs real Vim, headless, on the
# output of `check` and `compile` and checks that its quickfix list holds each
# message's file, line and column. Skips (status 77) when Vim is not installed.
set -euo pipefail
tool=$1
command -v vim >/dev/null 2>&1 || { echo "vim is not installed: skipped"; exit 77; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir docs out
"$tool" documents --out docs
line=docs/Borvasco_Lestrano_linea.txt
train=docs/Borvasco_Lestrano_40817-.txt
# A misspelt curve on line 11, a misspelt signal on its first line, and a
# second signal on the cell of the one before it (indented by two blanks).
sed -i '11s/^curvas2/cruvas2/' "$line"
first=$(grep -n '^segnale' "$train" | head -1 | cut -d: -f1)
sed -i "${first}s/^segnale/sengale/" "$train"
second=$((first + 1))
third=$((first + 2))
sed -i "${third}s/^segnale, *[0-9]*/  segnale,    $(sed -n "${second}p" "$train" | cut -d, -f2 | tr -d ' ')/" "$train"

status=0
"$tool" check --line "$line" --train "$train" > check.txt 2>/dev/null || status=$?
[ "$status" = 1 ] || { echo "check: status $status, expected 1"; cat check.txt; exit 1; }
"$tool" compile --line "$line" --train "$train" --out out 2> compile.txt || true

# Vim's own default 'errorformat': no vimrc, no plugins.
quickfix() {
  vim -N -u NONE -i NONE -n -es \
    -c "cfile $1" \
    -c "call writefile(map(filter(getqflist(), 'v:val.valid'), 'bufname(v:val.bufnr) . \":\" . v:val.lnum . \":\" . v:val.col'), '$2')" \
    -c 'qa!' </dev/null || true
}
quickfix check.txt check.qf
quickfix compile.txt compile.qf

expected_check="$line:11:1
$train:$first:1
$train:$third:3"
if [ "$(cat check.qf)" != "$expected_check" ]; then
  echo "check's quickfix list:"; cat check.qf; echo "expected:"; echo "$expected_check"
  cat check.txt; exit 1
fi
# compile says what check says, warnings included.
if [ "$(cat compile.qf)" != "$expected_check" ]; then
  echo "compile's quickfix list:"; cat compile.qf; cat compile.txt; exit 1
fi
echo "vim jumps to every message"
