#!/bin/sh
# Times `putil activity` (derived design) on files of 125k to 1M declared
# signals and ten timestamps, so that the declarations are the work; fails
# when the largest needs more than 2 GiB or its time per signal grows more
# than half again over the smallest's.
set -eu

. "$(dirname "$0")/common.sh"
bench_require_python_and_time

# Smallest first, largest last: the checks compare those two.
sizes=${BENCH_MANY_SIGNALS:-125000 250000 500000 1000000}
rss_limit_mib=${BENCH_MANY_SIGNALS_RSS_MIB:-2048}
timestamps=10

work=$(mktemp -d /tmp/putil-many-signals.XXXXXX)
trap 'rm -rf "$work"' EXIT
trap 'exit 130' INT TERM

echo "putil activity on many declared signals, $(date -u '+%Y-%m-%d %H:%M UTC')"
echo "machine: $(nproc) CPUs, load average $(cut -d' ' -f1-3 /proc/loadavg); putil: $putil"
echo "one run per size: wall time and peak RSS of GNU time (%e %M)"
echo

results=$work/results
: >"$results"
for signals in $sizes; do
  file=$work/signals_$signals.vcd
  # "PATH: N signals (B bits), ..."
  bits=$(python3 "$here/generate_vcd.py" "$file" --signals "$signals" --timestamps "$timestamps" |
         sed -n 's/.*signals (\([0-9]*\) bits).*/\1/p')
  if [ -z "$bits" ]; then
    echo "bench/many_signals.sh: generating $signals signals failed" >&2
    exit 1
  fi
  bytes=$(wc -c <"$file")
  if ! /usr/bin/time -o "$work/time" -f '%e %M' "$putil" activity --format csv -o /dev/null "$file" \
       2>"$work/stderr"; then
    echo "bench/many_signals.sh: putil failed on $signals signals:" >&2
    cat "$work/stderr" >&2
    exit 1
  fi
  echo "$signals $bits $bytes $(tail -n 1 "$work/time")" >>"$results"
  rm -f "$file"
done

awk -v limit="$rss_limit_mib" '
  BEGIN {
    printf "%9s %9s %8s %8s %10s %12s %10s\n", "signals", "bits", "MB", "seconds", "peak MiB",
           "s/100k sig", "B/signal"
  }
  {
    per_100k = $4 / $1 * 100000
    rss_mib = $5 / 1024
    printf "%9d %9d %8.1f %8.2f %10.1f %12.3f %10.0f\n", $1, $2, $3 / 1e6, $4, rss_mib, per_100k,
           $5 * 1024 / $1
    if (NR == 1) first = per_100k
    last = per_100k; last_rss = rss_mib; last_signals = $1
  }
  END {
    growth = first > 0 ? last / first : 0
    printf "time per signal, %d signals / smallest: %.2f (limit 1.50)\n", last_signals, growth
    status = 0
    if (last_rss > limit) {
      printf "FAIL: %.0f MiB peak RSS at %d signals exceeds %d MiB\n", last_rss, last_signals, limit > "/dev/stderr"
      status = 1
    }
    if (growth > 1.5) {
      print "FAIL: the time per declared signal grows with their number" > "/dev/stderr"
      status = 1
    }
    exit status
  }' "$results"
