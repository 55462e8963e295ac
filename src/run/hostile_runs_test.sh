#!/usr/bin/env bash
# The programs on a real file system that works against them: standard
# output that cannot be written, two generators at once in one directory,
# links and pipes where their files go, and inputs that are not files.
# usage: hostile_runs_test.sh path/to/scenario-gen path/to/scenario-tool
set -u
gen=$1
tool=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

# A full standard output is a failure, never a clean exit.
mkdir "$work/full"
cp "$gen" "$work/full/"
"$work/full/scenario-gen" >/dev/full 2>"$work/err"
[ $? -eq 5 ] || fail "scenario-gen > /dev/full exits 0"
grep -q "cannot write standard output" "$work/err" || fail "scenario-gen: $(cat "$work/err")"
"$tool" documents --out "$work/full" || fail "documents"
"$tool" compile --line "$work/full/Borvasco_Lestrano_linea.txt" \
  --train "$work/full/Borvasco_Lestrano_40817-.txt" --out "$work/full" >/dev/full 2>"$work/err"
[ $? -eq 5 ] || fail "compile > /dev/full"
for args in "inspect $work/full" "inspect $work/full --json" "--help"; do
  # shellcheck disable=SC2086
  "$tool" $args >/dev/full 2>"$work/err"
  [ $? -eq 5 ] || fail "$args > /dev/full"
  grep -q "cannot write standard output" "$work/err" || fail "$args: $(cat "$work/err")"
done

# Two generators at once in one directory: each ends cleanly or says the
# directory is busy, and the package left is whole.
mkdir "$work/pair"
cp "$gen" "$work/pair/"
"$work/pair/scenario-gen" >/dev/null || fail "first run"
cp "$work/pair/Borvasco_Lestrano_40817.sim" "$work/pair.sim"
cp "$work/pair/Borvasco_Lestrano_linea.dat" "$work/pair.plan"
for i in 1 2 3 4 5 6 7 8; do
  "$work/pair/scenario-gen" >/dev/null 2>"$work/err1" &
  a=$!
  "$work/pair/scenario-gen" >/dev/null 2>"$work/err2" &
  b=$!
  wait $a; sa=$?
  wait $b; sb=$?
  for s in "$sa:$work/err1" "$sb:$work/err2"; do
    status=${s%%:*}
    [ "$status" -eq 0 ] || grep -q "in use by another run" "${s#*:}" ||
      fail "paired run $i exits $status: $(cat "${s#*:}")"
  done
  cmp -s "$work/pair/Borvasco_Lestrano_40817.sim" "$work/pair.sim" || fail "pair $i: table"
  cmp -s "$work/pair/Borvasco_Lestrano_linea.dat" "$work/pair.plan" || fail "pair $i: plan"
  left=$(cd "$work/pair" && ls -A | grep -v -e '^scenario-gen$' -e '^Borvasco_Lestrano' || true)
  [ -z "$left" ] || fail "pair $i left: $left"
  [ ! -e "$work/pair/Borvasco_Lestrano_linea.txt" ] || fail "pair $i left a document"
done

# A link at a name the program writes is replaced, never written through; a
# pipe there never blocks the run.
mkdir "$work/links"
echo "precious" >"$work/outside"
ln -s "$work/outside" "$work/links/Borvasco_Lestrano_40817.sim"
mkfifo "$work/links/Borvasco_Lestrano_40817_note.txt.new"
"$tool" documents --out "$work/links" || fail "documents beside a pipe"
"$tool" compile --line "$work/links/Borvasco_Lestrano_linea.txt" \
  --train "$work/links/Borvasco_Lestrano_40817-.txt" --out "$work/links" >/dev/null ||
  fail "compile over a link"
[ "$(cat "$work/outside")" = "precious" ] || fail "the link's target was written"
[ ! -L "$work/links/Borvasco_Lestrano_40817.sim" ] || fail "the link is still there"

# Inputs that are not regular files end at once with status 5.
mkfifo "$work/pipe"
for input in /dev/zero "$work/pipe"; do
  timeout 20 "$tool" compile --line "$input" --train "$work/links/Borvasco_Lestrano_40817-.txt" \
    --out "$work/links" >/dev/null 2>"$work/err"
  status=$?
  [ $status -eq 5 ] || fail "compile --line $input exits $status"
done
echo "hostile runs: ok"
