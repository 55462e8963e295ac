#!/usr/bin/env bash
# The Windows zip holds what the README says: both programs, the README and
# the documents' format reference as HTML, in one folder; and the programs
# in it run.
# usage: windows_zip_test.sh BUILD-DIR
set -u
build=$1
wine=${SCENARIO_WINE:-wine}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.txt" 2>&1 ||
  { cat "$work/cpack.txt"; exit 1; }
zip=$(ls "$work"/out/*.zip)
[ -f "$zip" ] || { echo "FAIL: no zip"; exit 1; }
mkdir "$work/x"
(cd "$work/x" && cmake -E tar xf "$zip") || fail "the zip does not unpack"
folder=$(ls "$work/x")
for f in scenario-gen.exe scenario-tool.exe README.md windows.md scenario-documents.html; do
  [ -s "$work/x/$folder/$f" ] || fail "the zip lacks $f"
done
[ "$(ls "$work/x/$folder" | wc -l)" -eq 5 ] || fail "the zip holds $(ls "$work/x/$folder")"
grep -qi "<html" "$work/x/$folder/scenario-documents.html" || fail "the reference is no HTML page"
grep -q "segnale" "$work/x/$folder/scenario-documents.html" || fail "the reference lacks the records"
# Straight from the zip, the generator writes its package beside itself.
"$wine" "$work/x/$folder/scenario-gen.exe" >/dev/null 2>"$work/err.txt" ||
  fail "the zipped generator: $(cat "$work/err.txt")"
[ -s "$work/x/$folder/Borvasco_Lestrano_40817.sim" ] || fail "the zipped generator wrote nothing"
"$wine" "$work/x/$folder/scenario-tool.exe" --version >/dev/null 2>&1 ||
  fail "the zipped scenario-tool does not run"
[ "$failures" -eq 0 ] || exit 1
echo "windows zip: $(basename "$zip") holds $(ls "$work/x/$folder" | grep -v Borvasco | tr '\n' ' ')"
