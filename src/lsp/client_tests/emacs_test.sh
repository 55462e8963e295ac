#!/usr/bin/env bash
# A second real editor: Emacs with eglot (Debian's emacs-nox and
# elpa-eglot), headless, on a train document with a misspelt keyword. It
# checks that eglot receives the diagnostics, applies the quick fix that
# turns "sengale" into "segnale", and receives the line kilometres as inlay
# hints. Skips (status 77) when Emacs or eglot is missing.
set -euo pipefail
tool=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
command -v emacs >/dev/null 2>&1 || { echo "emacs is not installed: skipped"; exit 77; }
emacs --batch --eval '(require (quote eglot))' >/dev/null 2>&1 ||
  { echo "eglot is not installed (elpa-eglot): skipped"; exit 77; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$tool" documents --out "$work" >/dev/null
train=$work/Borvasco_Lestrano_40817-.txt
sed -i '0,/^segnale/s//sengale/' "$train"

SCENARIO_TOOL=$tool SCENARIO_TRAIN=$train RESULT=$work/result.txt \
  timeout 120 emacs --batch --no-init-file -l "$here/emacs_client.el" >"$work/emacs.log" 2>&1 ||
  { cat "$work/emacs.log"; exit 1; }
cat "$work/result.txt"
expect() {
  grep -qx -- "$1" "$work/result.txt" || { echo "expected: $1"; cat "$work/emacs.log"; exit 1; }
}
expect "connected yes"
grep -q '^diagnostics [1-9]' "$work/result.txt" || { echo "no diagnostics"; exit 1; }
expect "quick fix offered yes"
expect "line after fix segnale"
grep -q '^inlay hints [1-9]' "$work/result.txt" || { echo "no inlay hints"; exit 1; }
grep -q '^first hint km [0-9]*+[0-9][0-9][0-9]$' "$work/result.txt" ||
  { echo "the first hint is no kilometre"; exit 1; }
echo "ok: eglot applied the quick fix and received inlay hints"
