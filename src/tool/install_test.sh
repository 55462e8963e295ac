#!/usr/bin/env bash
# What `cmake --install` lays down and the Debian package that CPack makes:
# the program, its two manual pages (no warnings from man), the bash
# completion (it completes commands, options, warning kinds and records),
# and every option that a command's --help names is in its manual page and
# its completion. As root with dpkg, the Debian package is installed, used
# (man -w, the program) and removed again.
#   install_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
tool=$prefix/bin/scenario-tool
page1=$prefix/share/man/man1/scenario-tool.1
page5=$prefix/share/man/man5/scenario-documents.5
completion=$prefix/share/bash-completion/completions/scenario-tool
for f in "$tool" "$page1" "$page5" "$completion" "$prefix/share/doc/scenario/scenario-documents.html"; do
  [ -e "$f" ] || fail "not installed: ${f#"$prefix"/}"
done
[ ! -e "$prefix/bin/scenario-gen" ] || fail "the generator was installed (it writes next to itself)"
"$tool" --version | grep -q '^scenario-tool ' || fail "the installed program does not run"

rendered1=$work/scenario-tool.txt
rendered5=$work/scenario-documents.txt
if command -v man >/dev/null 2>&1; then
  for page in "$page1" "$page5"; do
    warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null || true)
    [ -z "$warnings" ] || fail "man warns on $(basename "$page"): $warnings"
  done
  MANWIDTH=200 man -l "$page1" 2>/dev/null | col -b >"$rendered1"
  MANWIDTH=200 man -l "$page5" 2>/dev/null | col -b >"$rendered5"
else
  sed 's/\\-/-/g' "$page1" >"$rendered1"
  sed 's/\\-/-/g' "$page5" >"$rendered5"
fi

# Every record of the documents has its entry in the format reference.
for keyword in $("$tool" help --topics); do
  grep -qF -- "$keyword" "$rendered5" || fail "scenario-documents(5) lacks the record $keyword"
done

# Completion, as bash would ask for it.
complete_words() {  # complete_words WORD... -> the candidates for the last word
  PATH="$prefix/bin:$PATH" bash -c '
    source "$0"
    COMP_WORDS=("$@"); COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE="${COMP_WORDS[*]}"; COMP_POINT=${#COMP_LINE}
    _scenario_tool scenario-tool "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD-1]}"
    printf "%s\n" "${COMPREPLY[@]}"' "$completion" "$@"
}
expect_completion() {  # expect_completion EXPECTED WORD...
  local expected=$1
  shift
  local offered
  offered=$(complete_words "$@")
  grep -qxF -- "$expected" <<<"$offered" ||
    fail "completing '$*' does not offer $expected (offers: $(tr '\n' ' ' <<<"$offered"))"
}
expect_completion check scenario-tool ch
expect_completion compile scenario-tool com
expect_completion --keep-partial scenario-tool compile --ke
expect_completion -Wno-value-range scenario-tool compile -Wno-val
expect_completion -Wno-unknown-keyword scenario-tool check -Wno-unk
expect_completion json scenario-tool check --format j
expect_completion segnale scenario-tool help segn
expect_completion stazione scenario-tool help staz

# Every option a command's --help names is in its manual page and its
# completion.
for command in check compile documents inspect render view; do
  for option in $("$tool" "$command" --help | grep -oE -- '(^|[ [])--?[a-zA-Z][a-zA-Z-]*' |
    grep -oE -- '--?[a-zA-Z][a-zA-Z-]*' | sort -u); do
    case $option in -Wno-*) option=-Wno- ;; esac
    grep -qF -- "$option" "$rendered1" || fail "scenario-tool(1) does not name $command $option"
    expect_completion "$option" scenario-tool "$command" "${option:0:3}"
  done
done
for kind in $("$tool" check --help | sed -n '/^Warning kinds:/,$p' | awk 'NR > 1 {print $1}'); do
  grep -qF -- "$kind" "$rendered1" || fail "scenario-tool(1) does not name the warning kind $kind"
  expect_completion "-Wno-$kind" scenario-tool check "-Wno-$kind"
done

# The Debian package, installed for real where this runs as root.
if [ "$(id -u)" -ne 0 ] || ! command -v dpkg >/dev/null 2>&1 || ! command -v cpack >/dev/null 2>&1; then
  echo "the Debian package is not installed here (needs root, dpkg and cpack)"
  exit 0
fi
(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" >/dev/null)
deb=$(find "$work" -maxdepth 1 -name 'scenario-tool*.deb' | head -1)
[ -n "$deb" ] || fail "cpack made no .deb"
contents=$(dpkg-deb -c "$deb")
for f in ./usr/bin/scenario-tool ./usr/share/man/man1/scenario-tool.1 \
  ./usr/share/man/man5/scenario-documents.5 ./usr/share/bash-completion/completions/scenario-tool; do
  grep -qF -- "$f" <<<"$contents" || fail "the Debian package lacks $f"
done
if dpkg -s scenario-tool >/dev/null 2>&1; then
  echo "a scenario-tool package is installed already; not replacing it"
  exit 0
fi
trap 'dpkg -r scenario-tool >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
dpkg -i "$deb" >/dev/null
if command -v man >/dev/null 2>&1; then
  man -w scenario-tool >/dev/null || fail "man -w scenario-tool finds no page after dpkg -i"
  man -w 5 scenario-documents >/dev/null || fail "man -w 5 scenario-documents finds no page"
fi
/usr/bin/scenario-tool help segnale | grep -q '^segnale' || fail "the installed program does not run"
dpkg -r scenario-tool >/dev/null
[ ! -e /usr/bin/scenario-tool ] || fail "dpkg -r left /usr/bin/scenario-tool behind"
echo "installed, used and removed $(basename "$deb")"
