#!/usr/bin/env bash
# Peak resident memory and wall time of `scenario-tool render` and `view` on
# the synthetic 1 000 000 m package, from /usr/bin/time. Exits 1 when either
# takes 32 MiB or more.
#
#   bench/view_memory.sh [SCENARIO_TOOL]     (default build/release/scenario-tool)
set -euo pipefail
cd "$(dirname "$0")/.."
tool=$(realpath "${1:-build/release/scenario-tool}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 bench/make_large_scenario.py "$work" >/dev/null
"$tool" compile --line "$work/large_linea.txt" --train "$work/large_treno.txt" --out "$work" >/dev/null
status=0
for command in render view; do
  out="$work/line.$([ $command = render ] && echo svg || echo html)"
  /usr/bin/time -f "%M %e" -o "$work/time" "$tool" $command "$work" -o "$out"
  read -r kib seconds <"$work/time"
  printf '%-7s %6.1f MiB peak, %5.2f s, %s bytes written\n' "$command" \
    "$(echo "$kib / 1024" | bc -l)" "$seconds" "$(stat -c %s "$out")"
  [ "$kib" -lt $((32 * 1024)) ] || status=1
done
exit $status
