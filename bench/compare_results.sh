#!/bin/sh
# Runs two builds of `putil activity --format json` on the same inputs and compares, byte for byte, standard output
# (every value printed with the digits of its float, and the posted messages), standard error and the exit status.
#
#   sh bench/compare_results.sh REFERENCE_PUTIL NEW_PUTIL [CASE_FOLDER]
#
# Inputs: every file of the shared VCD corpus with and without --strict, the counter example with and without its
# design, the files of tests/data with and without --strict, and the argument lists of CASE_FOLDER/cases.txt (written
# by bench/generate_cases.py into a temporary folder when no CASE_FOLDER is given). NEW_OPTIONS adds options to the
# new build's runs only (e.g. NEW_OPTIONS="--set putil_vcd_fast_body=off").
#
# An internal error names the source line of its check, which moves whenever that source is edited: its line number
# is masked ("file.cpp:LINE") before the comparison; the failing expression and the file are still compared.
set -eu

if [ $# -lt 2 ] || [ $# -gt 3 ]; then
  echo "usage: sh bench/compare_results.sh REFERENCE_PUTIL NEW_PUTIL [CASE_FOLDER]" >&2
  exit 2
fi
reference=$1
new=$2
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
corpus=${PUTIL_CORPUS:-$root/../shared/vcd-corpus}
new_options=${NEW_OPTIONS:-}

work=$(mktemp -d /tmp/putil-compare.XXXXXX)
trap 'rm -rf "$work"' EXIT
trap 'exit 130' INT TERM

cases=${3:-}
if [ -z "$cases" ]; then
  cases=$work/cases
  python3 "$here/generate_cases.py" "$cases" --count "${COMPARE_COUNT:-300}"
fi

runs=$work/runs.txt
: >"$runs"
if [ -d "$corpus" ]; then
  for file in "$corpus"/*.vcd "$corpus"/*.evcd; do
    [ -f "$file" ] || continue
    printf '%s\n--strict %s\n' "$file" "$file" >>"$runs"
  done
fi
cat >>"$runs" <<EOF
$root/examples/counter.vcd
--design $root/examples/counter_design.json $root/examples/counter.vcd
--design $root/examples/counter_design.json --filter-glitches $root/examples/counter.vcd
--design $root/examples/counter_design.json --start 100ns --end 2us $root/examples/counter.vcd
EOF
for file in "$root"/tests/data/extended/*; do
  printf '%s\n--strict %s\n' "$file" "$file" >>"$runs"
done
cat "$cases/cases.txt" >>"$runs"

mask() {
  sed 's/\((PUTIL, [A-Za-z0-9_.]*\):[0-9]*)/\1:LINE)/' "$1"
}

# run BINARY EXTRA ARGS NAME: output, messages and status of one run into $work/NAME.*
run() {
  # shellcheck disable=SC2086  # the argument lists are words separated by blanks
  if "$1" activity --format json $2 $3 >"$work/$4.out" 2>"$work/$4.err"; then
    echo 0 >"$work/$4.status"
  else
    echo $? >"$work/$4.status"
  fi
  mask "$work/$4.out" >"$work/$4.out.masked"
  mask "$work/$4.err" >"$work/$4.err.masked"
}

total=0
different=0
statuses=""
while IFS= read -r arguments; do
  total=$((total + 1))
  run "$reference" "" "$arguments" ref
  run "$new" "$new_options" "$arguments" new
  if cmp -s "$work/ref.out.masked" "$work/new.out.masked" && cmp -s "$work/ref.err.masked" "$work/new.err.masked" &&
    cmp -s "$work/ref.status" "$work/new.status"; then
    :
  else
    different=$((different + 1))
    echo "DIFFERENT: $arguments"
    diff "$work/ref.err.masked" "$work/new.err.masked" | head -n 10 || true
    diff "$work/ref.out.masked" "$work/new.out.masked" | head -n 10 || true
    echo "status $(cat "$work/ref.status") -> $(cat "$work/new.status")"
  fi
  statuses="$statuses $(cat "$work/ref.status")"
  grep -o '\[2220[0-9][0-9]\]' "$work/ref.err" | sort -u >>"$work/message_ids"
  grep -c 'internal error' "$work/ref.err" >>"$work/internal_errors" || true
done <"$runs"

echo "runs compared: $total; different: $different"
echo "exit status of the reference: $(echo "$statuses" | tr ' ' '\n' | grep . | sort | uniq -c | tr '\n' ' ' | tr -s ' ')"
echo "runs posting each message: $(sort "$work/message_ids" | uniq -c | tr '\n' ' ' | tr -s ' ')"
echo "runs ending in an internal error: $(grep -c -v '^0$' "$work/internal_errors" || true)"
[ "$different" -eq 0 ]
