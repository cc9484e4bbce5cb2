#!/bin/sh
# Times `putil activity` against `wc -l` and a naive C tally of the value changes (vcd_tally.c) on two generated VCD
# files in one run; reports throughputs, putil's throughput as a share of the tally's, and peak RSS.
set -eu

if [ $# -ne 1 ]; then
  echo "usage: sh bench/run.sh BUILD_DIR" >&2
  exit 2
fi
putil=$1/bin/putil
here=$(cd "$(dirname "$0")" && pwd)

if [ ! -x "$putil" ]; then
  echo "bench/run.sh: $putil is missing or not executable; build it first (make build)" >&2
  exit 1
fi
if ! command -v python3 >/dev/null 2>&1; then
  echo "bench/run.sh: python3 is required to generate the files and time the runs" >&2
  exit 1
fi
if ! command -v cc >/dev/null 2>&1; then
  echo "bench/run.sh: a C compiler (cc) is required to build the tally" >&2
  exit 1
fi

# Both files declare the same signals; the larger has four times the
# timestamps, so a flat peak RSS shows memory that does not grow with length.
signals=${BENCH_SIGNALS:-20000}
small_timestamps=${BENCH_TIMESTAMPS:-5000}
large_timestamps=$((small_timestamps * 4))
repeat=${BENCH_REPEAT:-3}

work=$(mktemp -d /tmp/putil-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
trap 'exit 130' INT TERM

cpu=$(sed -n 's/^model name[[:space:]]*:[[:space:]]*//p' /proc/cpuinfo | head -n 1)
echo "putil activity benchmark, $(date -u '+%Y-%m-%d %H:%M UTC')"
echo "machine: $(nproc) CPUs, ${cpu:-unknown CPU}, load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo "tally: bench/vcd_tally.c, cc -O2; putil: $putil"
echo "wall time: best of $repeat runs; peak RSS: GNU time %M of one more run"
echo

cc -O2 -o "$work/vcd_tally" "$here/vcd_tally.c"
echo "generating $signals signals x $small_timestamps and $large_timestamps timestamps into $work"
python3 "$here/generate_vcd.py" "$work/small.vcd" --signals "$signals" --timestamps "$small_timestamps"
python3 "$here/generate_vcd.py" "$work/large.vcd" --signals "$signals" --timestamps "$large_timestamps"
echo

# measure FILE: one result line, fields separated by spaces.
measure() {
  file=$1
  bytes=$(wc -c <"$file")
  wc_result=$(python3 "$here/measure.py" --repeat "$repeat" -- wc -l "$file")
  tally_result=$(python3 "$here/measure.py" --repeat "$repeat" -- "$work/vcd_tally" "$file")
  putil_result=$(python3 "$here/measure.py" --repeat "$repeat" -- "$putil" activity --format csv -o /dev/null "$file")
  echo "$bytes $wc_result $tally_result $putil_result"
}
small=$(measure "$work/small.vcd")
large=$(measure "$work/large.vcd")

printf '%s\n%s\n' "$small" "$large" | awk -v names="small large" '
  BEGIN {
    split(names, name, " ")
    printf "%-6s %7s %8s %8s %8s %8s %10s %10s %11s %8s %8s %8s\n", "file", "MB", "wc -l s", "tally s", "putil s",
           "wc MB/s", "tally MB/s", "putil MB/s", "putil/tally", "wc KB", "tally KB", "putil KB"
  }
  {
    mb = $1 / 1e6
    # putil/tally: putil throughput as a multiple of the tally throughput (1.0 or more: as fast as the tally).
    printf "%-6s %7.1f %8.4f %8.4f %8.4f %8.0f %10.1f %10.1f %11.2f %8s %8s %8s\n", name[NR], mb, $2, $4, $6,
           mb / $2, mb / $4, mb / $6, $4 / $6, $3, $5, $7
    rss[NR] = $7
  }
  END {
    if (rss[1] == "-" || rss[2] == "-") {
      print "peak RSS not measured: /usr/bin/time is missing (Debian package time)"
      exit 0
    }
    growth = rss[2] / rss[1]
    printf "putil peak RSS, large / small file: %.2f\n", growth
    # Four times the file length must not bring more than half again the memory.
    if (growth > 1.5) {
      print "FAIL: putil memory grows with the file length" > "/dev/stderr"
      exit 1
    }
  }'
