#!/usr/bin/env bash
# scenario-gen takes no arguments: any argument gets one line of usage on
# stderr and exit status 2, and nothing is written.
# usage: usage_test.sh path/to/scenario-gen
set -u
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$1" "$work/"
for args in "x" "--help" "-v a b"; do
  # shellcheck disable=SC2086
  err=$("$work/scenario-gen" $args 2>&1 >/dev/null)
  status=$?
  [ $status -eq 2 ] || { echo "FAIL: '$args' exits $status"; exit 1; }
  [ "$(printf '%s\n' "$err" | wc -l)" -eq 1 ] || { echo "FAIL: '$args': $err"; exit 1; }
  case "$err" in usage:*) ;; *) echo "FAIL: '$args': $err"; exit 1 ;; esac
  [ "$(ls "$work")" = "scenario-gen" ] || { echo "FAIL: '$args' wrote files"; exit 1; }
done
echo "usage: ok"
