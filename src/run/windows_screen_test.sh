#!/usr/bin/env bash
# The generator on a screen (Wine on Xvfb), where a person watches: the
# waiting window "Attendere" while it works, a message box naming the
# directory and the reason when it cannot write, and the box of a taken
# reserved slot (" Errore n. 1250"). Each is photographed into OUT-DIR
# (PNG where python3 is there, else the X window dump). Skipped without Xvfb.
# usage: windows_screen_test.sh GEN.exe HELPER.exe OUT-DIR
set -u
gen=$1 helper=$2 shots=$3
wine=${SCENARIO_WINE:-wine}
command -v Xvfb >/dev/null || { echo "no Xvfb: skipped"; exit 77; }
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
screen=""
cleanup() {
  [ -n "$screen" ] && kill "$screen" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
windows_path() { printf 'Z:%s' "$1" | tr '/' '\\'; }
mkdir -p "$shots" "$work/fb"

# A display of our own; its frame buffer is a file we can photograph.
for n in $(seq 70 99); do
  [ -e "/tmp/.X$n-lock" ] && continue
  Xvfb ":$n" -screen 0 1024x768x24 -fbdir "$work/fb" -nolisten tcp >/dev/null 2>&1 &
  screen=$!
  sleep 1
  if kill -0 "$screen" 2>/dev/null; then
    export DISPLAY=":$n"
    break
  fi
  screen=""
done
[ -n "$screen" ] || { echo "no free display: skipped"; exit 77; }

photograph() {
  sleep 0.5
  if command -v python3 >/dev/null; then
    python3 "$here/windows_screen_photo.py" "$work/fb/Xvfb_screen0" "$shots/$1.png" ||
      fail "photograph $1"
  else
    cp "$work/fb/Xvfb_screen0" "$shots/$1.xwd"
  fi
}

# Another run holds the directory: the generator waits 3 s with its window
# up, then tells why it could not write.
folder="$work/run"
mkdir -p "$folder"
cp "$gen" "$folder/scenario-gen.exe"
"$wine" "$helper" lock "$(windows_path "$folder")" "$(windows_path "$work/locked")" 8 &
holder=$!
for _ in $(seq 100); do [ -e "$work/locked" ] && break; sleep 0.1; done
# Standard error goes to a device, as a console would take it: a person is
# watching. (To a file or a pipe, a script is, and nothing is shown.)
"$wine" "$folder/scenario-gen.exe" >/dev/null 2>/dev/null &
generator=$!
shown=$("$wine" "$helper" find scenario-gen Attendere 10) || fail "no waiting window"
[ "$shown" = "Attendere" ] || fail "the waiting window shows '$shown'"
photograph waiting_window
text=$("$wine" "$helper" box scenario-gen 15) || fail "no message box after the failed run"
case "$text" in
  "cannot lock Z:"*"run: the directory is in use by another run") ;;
  *) fail "the box says '$text'" ;;
esac
photograph write_failure_box
"$wine" "$helper" press scenario-gen 5 >/dev/null || fail "could not press the box's button"
wait $generator
status=$?
[ $status -eq 5 ] || fail "the generator ended with status $status"
kill $holder 2>/dev/null
wait $holder 2>/dev/null

# The box of a taken reserved slot, as the generator shows it.
"$wine" "$helper" errore 1250 &
box=$!
text=$("$wine" "$helper" box scenario-gen 15) || fail "no Errore box"
[ "$text" = " Errore n. 1250" ] || fail "the Errore box says '$text'"
photograph errore_1250_box
"$wine" "$helper" press scenario-gen 5 >/dev/null || fail "could not press the Errore box's button"
wait $box

# The same run with its error output in a file: a script runs it, nothing
# is shown and nothing waits for a click.
"$wine" "$helper" lock "$(windows_path "$folder")" "$(windows_path "$work/locked2")" 8 &
holder=$!
for _ in $(seq 100); do [ -e "$work/locked2" ] && break; sleep 0.1; done
"$wine" "$folder/scenario-gen.exe" >/dev/null 2>"$work/err.txt"
status=$?
[ $status -eq 5 ] || fail "unwatched run: status $status"
if "$wine" "$helper" box scenario-gen 1 >/dev/null; then fail "an unwatched run showed a box"; fi
kill $holder 2>/dev/null
wait $holder 2>/dev/null

[ "$failures" -eq 0 ] || exit 1
echo "generator on a screen: ok; photographs in $shots"
