#!/bin/sh
# The read beside other work: times the tally (vcd_tally.c), `putil activity`
# with its apply thread and on one thread, on one generated file, first on a
# quiet machine (best of three), then in five rounds while one CPU-bound
# process per core runs (started here, ended by their ids). Checks, in every
# busy round: two threads at least 1.4 times as fast as one (fair sharing
# allows 1.5), and putil's speed against the tally at least 0.7 of the quiet
# ratio. Exits 1 when a check fails.
set -eu

. "$(dirname "$0")/common.sh"
bench_require_python_and_time
signals=${BENCH_SIGNALS:-20000}
timestamps=${BENCH_TIMESTAMPS:-20000}

work=$(mktemp -d /tmp/putil-bench.XXXXXX)
busy_ids=""
stop_busy() {
  for id in $busy_ids; do kill "$id" 2>/dev/null || true; done
  busy_ids=""
}
trap 'stop_busy; rm -rf "$work"' EXIT
trap 'exit 130' INT TERM

cc -O2 -o "$work/vcd_tally" "$here/vcd_tally.c"
python3 "$here/generate_vcd.py" "$work/busy.vcd" --signals "$signals" --timestamps "$timestamps" >/dev/null
file=$work/busy.vcd

# seconds COMMAND...: the wall time of one run.
seconds() { python3 "$here/measure.py" --repeat 1 -- "$@" | cut -d' ' -f1; }
# round: "tally two one" seconds of one run each.
round() {
  echo "$(seconds "$work/vcd_tally" "$file") \
$(seconds "$putil" activity --set putil_vcd_apply_thread=on --format csv -o /dev/null "$file") \
$(seconds "$putil" activity --set putil_vcd_apply_thread=off --format csv -o /dev/null "$file")"
}

echo "putil activity beside other work, $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) CPUs"
echo "file: $signals signals x $timestamps timestamps, $(($(wc -c <"$file") / 1000000)) MB"
quiet=$( { round; round; round; } | awk '
  { for (i = 1; i <= 3; ++i) if (NR == 1 || $i < best[i]) best[i] = $i }
  END { print best[1], best[2], best[3] }')
for core in $(seq "$(nproc)"); do
  sh -c 'while :; do :; done' &
  busy_ids="$busy_ids $!"
done
busy=$(for run in 1 2 3 4 5; do round; done)
stop_busy

printf '%s\n%s\n' "$quiet" "$busy" | awk '
  BEGIN { printf "%-8s %9s %9s %9s %10s %10s\n", "machine", "tally s", "two s", "one s", "two/one", "x tally" }
  NR == 1 { quiet_ratio = $1 / $2 }
  {
    label = NR == 1 ? "quiet" : "busy " (NR - 1)
    printf "%-8s %9.3f %9.3f %9.3f %10.2f %10.2f\n", label, $1, $2, $3, $3 / $2, $1 / $2
    if (NR > 1) {
      if ($3 / $2 < 1.4) { missed = 1; printf "  target missed: two threads %.2f x one (at least 1.4)\n", $3 / $2 }
      if ($1 / $2 < 0.7 * quiet_ratio) {
        missed = 1
        printf "  target missed: %.2f x tally against %.2f quiet (at least 0.7 of it)\n", $1 / $2, quiet_ratio
      }
    }
  }
  END { if (missed) { print "FAIL: the read beside other work misses a target" > "/dev/stderr"; exit 1 } }'
