#!/usr/bin/env bash
# The Windows programs under Wine write the bytes the Linux programs write:
# the generator's whole package and forms, and scenario-tool compile of every
# pair of documents of the compile fuzzer's seeds (the built-in documents and
# one pair for every fault code), with the same messages (the separator of
# the paths aside) and the same exit statuses.
# usage: windows_same_bytes_test.sh GEN.exe TOOL.exe LINUX-GEN LINUX-TOOL CORPUS-DIR
set -u
win_gen=$1 win_tool=$2 linux_gen=$3 linux_tool=$4 corpus=$5
wine=${SCENARIO_WINE:-wine}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# Every file of two directories, byte for byte.
same_files() {
  local a=$1 b=$2 what=$3 f
  [ "$(cd "$a" && ls)" = "$(cd "$b" && ls)" ] ||
    fail "$what: Linux wrote $(cd "$a" && ls | tr '\n' ' '), Windows $(cd "$b" && ls | tr '\n' ' ')"
  for f in "$a"/*; do
    [ -e "$f" ] || continue
    cmp -s "$f" "$b/$(basename "$f")" || fail "$what: $(basename "$f") differs"
  done
}

# The generator, each in a directory of its own.
mkdir -p "$work/gen/linux" "$work/gen/windows"
cp "$linux_gen" "$work/gen/linux/scenario-gen"
cp "$win_gen" "$work/gen/windows/scenario-gen.exe"
(cd "$work/gen/linux" && ./scenario-gen >out.txt 2>err.txt)
linux_status=$?
(cd "$work/gen/windows" && "$wine" ./scenario-gen.exe >out.txt 2>err.txt)
windows_status=$?
[ "$linux_status" = 0 ] && [ "$windows_status" = 0 ] ||
  fail "generator: status $linux_status on Linux, $windows_status on Windows"
rm "$work/gen/linux/scenario-gen" "$work/gen/windows/scenario-gen.exe"
same_files "$work/gen/linux" "$work/gen/windows" "generator"

# Each seed: "LINE\0TRAIN", split at its first NUL byte.
count=0
for seed in "$corpus"/*; do
  name=$(basename "$seed")
  for side in linux windows; do
    dir="$work/$name/$side"
    mkdir -p "$dir/out"
    LC_ALL=C
    {
      IFS= read -r -d '' line_part
      cat >"$dir/treno.txt"
    } <"$seed"
    printf '%s' "$line_part" >"$dir/linea.txt"
  done
  (cd "$work/$name/linux" &&
    "$linux_tool" compile --line linea.txt --train treno.txt --out out >stdout.txt 2>stderr.txt)
  linux_status=$?
  (cd "$work/$name/windows" &&
    "$wine" "$win_tool" compile --line linea.txt --train treno.txt --out out >stdout.txt 2>stderr.txt)
  windows_status=$?
  [ "$linux_status" = "$windows_status" ] ||
    fail "$name: status $linux_status on Linux, $windows_status on Windows"
  for stream in stdout stderr; do
    # Paths the tool puts together use the system's separator.
    tr '\\' '/' <"$work/$name/windows/$stream.txt" >"$work/$name/windows/$stream.cmp"
    cmp -s "$work/$name/linux/$stream.txt" "$work/$name/windows/$stream.cmp" ||
      fail "$name: $stream differs: $(diff "$work/$name/linux/$stream.txt" "$work/$name/windows/$stream.cmp" | head -5)"
  done
  same_files "$work/$name/linux/out" "$work/$name/windows/out" "$name"
  count=$((count + 1))
done
[ "$count" -gt 20 ] || fail "only $count seeds in $corpus"
[ "$failures" -eq 0 ] || exit 1
echo "same bytes: the generator and $count compiles agree"
