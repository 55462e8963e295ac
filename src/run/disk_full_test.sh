#!/usr/bin/env bash
# The generator on a real file system whose files cannot grow past a limit
# (ulimit -f, with SIGXFSZ ignored so that writes fail with EFBIG): at every
# limit the run either succeeds or fails cleanly: exit status 5, one line on
# stderr naming the file, the earlier package whole (never mixed with the new
# one), no temporary file left and no document cut short under its name.
#
# usage: disk_full_test.sh path/to/scenario-gen path/to/scenario-tool
set -u
gen=$1
tool=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL (limit $limit KiB): $*"
  failures=$((failures + 1))
}

package=(Borvasco_Lestrano_linea.dat Borvasco_Lestrano_40817.sim Borvasco_Lestrano_40817.dat)

# The package and documents of a clean run, to compare with.
mkdir "$work/clean"
cp "$gen" "$work/clean/"
"$work/clean/scenario-gen" >/dev/null || { echo "FAIL: clean run"; exit 1; }
"$tool" documents --out "$work/clean" || { echo "FAIL: documents"; exit 1; }

for limit in 0 1 2 4 8 12 16 20 24 30 64 500 1000 1880 1900 4000; do
  dir="$work/run$limit"
  mkdir "$dir"
  cp "$gen" "$dir/"
  # An earlier package that differs from the new one in every file.
  for f in "${package[@]}"; do head -c 5000 /dev/urandom >"$dir/$f"; done
  (cd "$dir" && md5sum "${package[@]}" >"$work/earlier.md5")

  # Output through a pipe: files of the test itself must not meet the limit.
  err=$( (trap '' XFSZ; ulimit -f "$limit"; exec "$dir/scenario-gen") 2>&1 >/dev/null)
  status=$?

  leftovers=$(cd "$dir" && ls | grep -E '\.(new|old)$')
  [ -z "$leftovers" ] || fail "temporary files left: $leftovers"

  if [ $status -eq 0 ]; then
    for f in "${package[@]}"; do
      cmp -s "$dir/$f" "$work/clean/$f" || fail "$f differs from a clean run's"
    done
  else
    [ $status -eq 5 ] || fail "exit status $status"
    [ "$(printf '%s\n' "$err" | wc -l)" -eq 1 ] || fail "stderr is not one line: $err"
    case "$err" in
      "scenario-gen: cannot write $dir/Borvasco_Lestrano"*": File too large") ;;
      *) fail "unexpected message: $err" ;;
    esac
    (cd "$dir" && md5sum --quiet -c "$work/earlier.md5") || fail "the earlier package changed"
  fi
  # Every document left under its own name is whole.
  for f in "$dir"/*.txt; do
    [ -e "$f" ] || continue
    cmp -s "$f" "$work/clean/$(basename "$f")" || fail "$(basename "$f") is cut short"
  done
done

if [ $failures -ne 0 ]; then
  echo "$failures failures"
  exit 1
fi
echo "disk full: every limit ended cleanly"
