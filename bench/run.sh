#!/bin/sh
# Times `putil activity` against `wc -l` and a naive C tally of the value changes (vcd_tally.c) on two generated VCD
# files in one run (256 MiB and 1 GiB unless BENCH_SMALL_MIB / BENCH_LARGE_MIB say otherwise); reports throughputs,
# putil's throughput as a share of the tally's, and peak RSS. Checks the read-speed targets and exits 1, after the
# whole table, when one is missed: putil at least as fast as the tally, on one thread at least 0.6 of it, a .vcd.gz
# at least 0.8 of the plain file, the time per MB of the large file within 1.05 of the small one's, at most 64 MiB
# peak RSS.
set -eu

. "$(dirname "$0")/common.sh"
if ! command -v python3 >/dev/null 2>&1; then
  echo "bench/run.sh: python3 is required to generate the files and time the runs" >&2
  exit 1
fi
if ! command -v cc >/dev/null 2>&1; then
  echo "bench/run.sh: a C compiler (cc) is required to build the tally" >&2
  exit 1
fi

# Both files declare the same signals; the larger holds four times the
# timestamps, so a flat peak RSS shows memory that does not grow with length.
signals=${BENCH_SIGNALS:-20000}
small_mib=${BENCH_SMALL_MIB:-256}
large_mib=${BENCH_LARGE_MIB:-1024}
repeat=${BENCH_REPEAT:-3}

# Both files and the large one compressed, with room to spare.
free_kib=$(df -Pk /tmp | awk 'NR == 2 { print $4 }')
if [ "$free_kib" -lt $(((small_mib + large_mib) * 2 * 1024)) ]; then
  echo "bench/run.sh: less than $(((small_mib + large_mib) * 2)) MiB free in /tmp" >&2
  exit 1
fi
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
echo "generating $signals signals over $small_mib MiB and $large_mib MiB into $work"
python3 "$here/generate_vcd.py" "$work/small.vcd" --signals "$signals" --timestamps 1 --megabytes "$small_mib"
python3 "$here/generate_vcd.py" "$work/large.vcd" --signals "$signals" --timestamps 1 --megabytes "$large_mib"
echo

# row FILE_LABEL PROGRAM_LABEL BYTES COMMAND...: one result line "file program bytes seconds peak_kb".
row() {
  file_label=$1; program_label=$2; bytes=$3; shift 3
  echo "$file_label $program_label $bytes $(python3 "$here/measure.py" --repeat "$repeat" -- "$@")"
}

# Every program reads the same bytes: the ratios compare throughput on the
# same file in the same run. The one-thread row applies the value changes on
# the reading thread, as the library does by default. The example design
# names none of the generated signals, so that row is the reading alone; the
# .vcd.gz row is the same text compressed, its MB counted uncompressed. The
# TBL and transient rows run the other two reading jobs on the same file;
# "x putil" compares each row with the activity job.
measure() {
  label=$1; file=$2
  bytes=$(wc -c <"$file")
  gzip -c -6 "$file" >"$file.gz"
  row "$label" "wc-l" "$bytes" wc -l "$file"
  row "$label" "tally" "$bytes" "$work/vcd_tally" "$file"
  row "$label" "putil" "$bytes" "$putil" activity --format csv -o /dev/null "$file"
  row "$label" "putil-one-thread" "$bytes" \
    "$putil" activity --set putil_vcd_apply_thread=off --format csv -o /dev/null "$file"
  row "$label" "putil-example-design" "$bytes" \
    "$putil" activity --design "$root/examples/counter_design.json" --format csv -o /dev/null "$file"
  row "$label" "putil-vcd.gz" "$bytes" "$putil" activity --format csv -o /dev/null "$file.gz"
  rm -f "$file.gz"
  row "$label" "putil-tbl" "$bytes" "$putil" tbl "$file" -o /dev/null
  # Every signal of the derived design toggles with the same energy.
  "$putil" activity --format csv "$file" 2>/dev/null | awk -F, 'NR > 1 { print $1 ",0,1e-12" }' >"$work/energies.csv"
  row "$label" "putil-transient" "$bytes" \
    "$putil" transient --energies "$work/energies.csv" --voltage 0.9 -o /dev/null "$file"
}
{
  measure small "$work/small.vcd"
  measure large "$work/large.vcd"
} | awk '
  BEGIN {
    printf "%-6s %-21s %8s %9s %9s %9s %9s %10s\n", "file", "program", "MB", "seconds", "MB/s", "x tally", "x putil",
           "peak KB"
  }
  {
    lines[NR] = $0
    file[NR] = $1; program[NR] = $2; mb[NR] = $3 / 1e6; seconds[NR] = $4; kb[NR] = $5
    speed[$1, $2] = $3 / 1e6 / $4
    if ($2 == "tally") tally[$1] = $3 / 1e6 / $4
    if ($2 == "putil") activity[$1] = $3 / 1e6 / $4
  }
  function check(ok, text) {
    if (!ok) {
      missed = 1
      print "  target missed: " text
    }
  }
  END {
    for (i = 1; i <= NR; ++i) {
      rate = mb[i] / seconds[i]
      # x tally: throughput as a multiple of the tally on the same file (1.0 or more: as fast as the tally).
      # x putil: the same against the activity job.
      printf "%-6s %-21s %8.1f %9.3f %9.1f %9.2f %9.2f %10s\n", file[i], program[i], mb[i], seconds[i], rate,
             rate / tally[file[i]], rate / activity[file[i]], kb[i]
      if (program[i] == "putil") rss[file[i]] = kb[i]
    }
    for (f = 1; f <= 2; ++f) {
      name = f == 1 ? "small" : "large"
      check(speed[name, "putil"] >= speed[name, "tally"],
            sprintf("%s: putil %.2f x tally (at least 1.0)", name, speed[name, "putil"] / speed[name, "tally"]))
      check(speed[name, "putil-one-thread"] >= 0.6 * speed[name, "tally"],
            sprintf("%s: putil on one thread %.2f x tally (at least 0.6)", name,
                    speed[name, "putil-one-thread"] / speed[name, "tally"]))
      check(speed[name, "putil-vcd.gz"] >= 0.8 * speed[name, "putil"],
            sprintf("%s: .vcd.gz %.2f x the plain file (at least 0.8)", name,
                    speed[name, "putil-vcd.gz"] / speed[name, "putil"]))
    }
    # Time per MB: the inverse of the rates.
    per_mb = speed["small", "putil"] / speed["large", "putil"]
    printf "putil time per MB, large / small file: %.2f\n", per_mb
    check(per_mb <= 1.05, sprintf("time per MB of the large file %.2f x the small one (at most 1.05)", per_mb))
    if (rss["small"] == "-" || rss["large"] == "-") {
      print "peak RSS not measured: /usr/bin/time is missing (Debian package time)"
    } else {
      growth = rss["large"] / rss["small"]
      printf "putil peak RSS, large / small file: %.2f\n", growth
      # Four times the file length must not bring more than half again the memory.
      check(growth <= 1.5, sprintf("peak RSS grows with the file length (%.2f x)", growth))
      check(rss["large"] <= 65536, sprintf("peak RSS %d KB (at most 65536)", rss["large"]))
    }
    if (missed) {
      print "FAIL: putil activity misses a read-speed target" > "/dev/stderr"
      exit 1
    }
  }'
