#!/usr/bin/env bash
# The Windows programs under Wine, as a user runs them: exit statuses, a
# folder named in Italian and in Russian, a package file another program
# holds open (waited for, then reported, the old package intact), a
# directory another run holds, names Windows reserves and paths too long
# refused by name, and located messages with Windows paths in UTF-8.
# usage: windows_runs_test.sh GEN.exe TOOL.exe HELPER.exe
set -u
gen=$1 tool=$2 helper=$3
wine=${SCENARIO_WINE:-wine}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
# The Windows name of a path of this machine (Wine's drive Z: is its root).
windows_path() { printf 'Z:%s' "$1" | tr '/' '\\'; }

# Arguments: usage, status 2, nothing written.
mkdir -p "$work/usage"
cp "$gen" "$work/usage/scenario-gen.exe"
err=$("$wine" "$work/usage/scenario-gen.exe" x 2>&1 >/dev/null)
status=$?
[ $status -eq 2 ] || fail "an argument: status $status"
case "$err" in usage:*) ;; *) fail "an argument: $err" ;; esac
[ "$(ls "$work/usage")" = "scenario-gen.exe" ] || fail "an argument: files written"

# A clean run in a folder whose names need more than one code page.
folder="$work/Società/Заметки"
mkdir -p "$folder"
cp "$gen" "$folder/scenario-gen.exe"
out=$("$wine" "$folder/scenario-gen.exe" 2>"$work/err.txt")
status=$?
[ $status -eq 0 ] || fail "clean run: status $status: $(cat "$work/err.txt")"
[ "$out" = "Attendere" ] || fail "clean run: said '$out'"
[ "$(ls "$folder" | wc -l)" -eq 7 ] || fail "clean run: wrote $(ls "$folder")"
mkdir -p "$work/before"
cp "$folder"/*.dat "$folder"/*.sim "$folder"/*.txt "$work/before/"

# Two runs are the same package; the second touches what it did not hold.
unchanged() {
  local f
  for f in "$work/before"/*; do
    cmp -s "$f" "$folder/$(basename "$f")" || fail "$1: $(basename "$f") changed"
  done
  [ "$(ls -A "$folder" | wc -l)" -eq 7 ] || fail "$1: left $(ls -A "$folder")"
}

# A package file held open by another program, sharing nothing.
sim="$folder/Borvasco_Lestrano_40817.sim"
"$wine" "$helper" hold "$(windows_path "$sim")" "$(windows_path "$work/held")" 4 &
holder=$!
for _ in $(seq 100); do [ -e "$work/held" ] && break; sleep 0.1; done
[ -e "$work/held" ] || fail "the helper did not hold the file"
"$wine" "$folder/scenario-gen.exe" >/dev/null 2>"$work/err.txt"
status=$?
wait $holder
err=$(cat "$work/err.txt")
[ $status -eq 5 ] || fail "file in use: status $status: $err"
[ "$(wc -l <"$work/err.txt")" -eq 1 ] || fail "file in use: $err"
case "$err" in
  *"Borvasco_Lestrano_40817.sim: in use by another program"*) ;;
  *) fail "file in use: $err" ;;
esac
unchanged "file in use"

# The directory held by another run.
"$wine" "$helper" lock "$(windows_path "$folder")" "$(windows_path "$work/locked")" 5 &
holder=$!
for _ in $(seq 100); do [ -e "$work/locked" ] && break; sleep 0.1; done
"$wine" "$folder/scenario-gen.exe" >/dev/null 2>"$work/err.txt"
status=$?
wait $holder
[ $status -eq 5 ] || fail "directory locked: status $status"
grep -q "the directory is in use by another run" "$work/err.txt" ||
  fail "directory locked: $(cat "$work/err.txt")"
rm -f "$folder/.scenario.lock"
unchanged "directory locked"

# scenario-tool: the built-in documents, compiled into the Russian folder.
docs="$work/Società/documenti"
mkdir -p "$docs"
"$wine" "$tool" documents --out "$(windows_path "$docs")" >/dev/null 2>&1 ||
  fail "documents: status $?"
line="$(windows_path "$docs")\\Borvasco_Lestrano_linea.txt"
train="$(windows_path "$docs")\\Borvasco_Lestrano_40817-.txt"
mkdir -p "$work/compiled"
"$wine" "$tool" compile --line "$line" --train "$train" --out "$(windows_path "$work/compiled")" \
  >/dev/null 2>"$work/err.txt" || fail "compile: $(cat "$work/err.txt")"
for f in Borvasco_Lestrano_linea.dat Borvasco_Lestrano_40817.sim Borvasco_Lestrano_40817.dat; do
  cmp -s "$work/compiled/$f" "$work/before/$f" || fail "compile: $f differs from the generator's"
done

# A located message names the document as given, in UTF-8, the way editors
# read it: "Z:\...\linea.txt:LINE:COLUMN: error: ...".
# A second signal on the first one's cell (code 16).
sed -i '0,/^segnale/{/^segnale/p}' "$docs/Borvasco_Lestrano_40817-.txt"
"$wine" "$tool" compile --line "$line" --train "$train" --out "$(windows_path "$work/compiled")" \
  >/dev/null 2>"$work/err.txt"
status=$?
err=$(head -n 1 "$work/err.txt")
[ $status -eq 1 ] || fail "located message: status $status: $err"
case "$err" in
  "$train":[0-9]*:[0-9]*": error: "*"[code 16]") ;;
  *) fail "located message: $err" ;;
esac

# The language server with the URIs VS Code sends ("file:///z%3A/..."): the
# train document, open in the editor, is paired with the line description
# beside it on disk, found through the Windows path of its URI.
frame() { printf 'Content-Length: %d\r\n\r\n%s' "${#1}" "$1"; }
uri="file:///z%3A$(printf '%s' "$docs" | sed 's/Società/Societ%C3%A0/')/Borvasco_Lestrano_40817-.txt"
text='segnale,    1850,   1, 2, 0,  0, 0,    0,  0,0,0, 0\r\n'
LC_ALL=C
{
  frame '{"jsonrpc":"2.0","id":1,"method":"initialize","params":{"processId":null,"rootUri":null,"capabilities":{}}}'
  frame '{"jsonrpc":"2.0","method":"initialized","params":{}}'
  frame '{"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"'"$uri"'","languageId":"scenario","version":1,"text":"'"$text"'"}}}'
  # The server publishes once its input is idle.
  sleep 2
  frame '{"jsonrpc":"2.0","id":2,"method":"shutdown"}'
  frame '{"jsonrpc":"2.0","method":"exit"}'
} | "$wine" "$tool" lsp >"$work/lsp.txt" 2>"$work/err.txt"
status=$?
[ $status -eq 0 ] || fail "language server: status $status: $(cat "$work/err.txt")"
grep -qF '"uri":"'"$uri"'"' "$work/lsp.txt" || fail "language server: no diagnostics for $uri"
if grep -q "no-partner" "$work/lsp.txt"; then fail "language server: the line description on disk was not found"; fi

# The view page of the package, written from inside the package's folder
# with relative names: one file that loads nothing, so it opens from any
# folder it is copied to.
(cd "$folder" && "$wine" "$tool" view . -o "vista Заметки.html" >/dev/null 2>"$work/err.txt") ||
  fail "view: $(cat "$work/err.txt")"
page="$folder/vista Заметки.html"
grep -q "<html" "$page" || fail "view: no page"
if grep -qE 'src="|href="(file:|[A-Za-z]:)' "$page"; then fail "view: the page loads files"; fi
rm -f "$page"

# Names Windows reserves and paths too long, refused by name.
check_refusal() {
  local what=$1 want=$2
  shift 2
  "$wine" "$tool" "$@" >/dev/null 2>"$work/err.txt"
  local s=$?
  [ $s -eq 5 ] || fail "$what: status $s: $(cat "$work/err.txt")"
  grep -qF "$want" "$work/err.txt" || fail "$what: $(cat "$work/err.txt")"
}
check_refusal "a device as the line description" "'CON' is a name Windows reserves for a device" \
  compile --line CON --train "$train" --out "$(windows_path "$work/compiled")"
check_refusal "a device as the output folder" "'aux' is a name Windows reserves for a device" \
  documents --out "$(windows_path "$work")\\aux"
check_refusal "a device with an extension" "'com1.txt' is a name Windows reserves for a device" \
  compile --line "$(windows_path "$work")\\com1.txt" --train "$train"
check_refusal "a device as the page" "'NUL.html' is a name Windows reserves for a device" \
  view "$(windows_path "$folder")" -o "$(windows_path "$work")\\NUL.html"
check_refusal "a name ending in a dot" "'vista.' ends in a dot or a blank" \
  view "$(windows_path "$folder")" -o "$(windows_path "$work")\\vista."
long=$(printf 'cartella%.0s' $(seq 16))
mkdir -p "$work/$long"
check_refusal "a path too long" "the path is too long for Windows" \
  view "$(windows_path "$folder")" -o "$(windows_path "$work")\\$long\\$long.html"
check_refusal "a name too long" "is too long for Windows (at most 255 characters)" \
  view "$(windows_path "$folder")" -o "$long$long.html"
ls "$work" | grep -q '\.new$' && fail "refused names left temporary files"

[ "$failures" -eq 0 ] || exit 1
echo "windows runs: ok"
