#!/bin/sh
# Times the transceiver model (bench/hssi_model.cpp): build from the device,
# fill from the design and the bonding walks, on devices of about 10,000 and
# 40,000 transceiver blocks. Fails when the smaller takes a second or more,
# or when the time per block at the larger size is more than 1.5 times that
# at the smaller (a walk over elements that is not linear).
set -eu

. "$(dirname "$0")/common.sh"
bench=$1/bin/putil_bench_hssi_model
if [ ! -x "$bench" ]; then
  echo "$bench_name: $bench is missing; build it first (cmake --build $1 --target putil_bench_hssi_model)" >&2
  exit 1
fi

echo "transceiver model, $(date -u '+%Y-%m-%d %H:%M UTC')"
echo "machine: $(nproc) CPUs, load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo "seconds: best of three runs of build, fill and bonding walks"
echo

"$bench" "${BENCH_HSSI_SMALL:-10000}" "${BENCH_HSSI_LARGE:-40000}" | awk '
  {
    for (i = 1; i < NF; i += 2)
      value[$i] = $(i + 1)
    printf "%7d blocks %7d elements %8.3f s %10.3e s/block\n",
           value["blocks"], value["elements"], value["seconds"], value["seconds_per_block"]
    if (NR == 1) { first = value["seconds_per_block"]; first_seconds = value["seconds"] }
    last = value["seconds_per_block"]
  }
  END {
    if (NR < 2 || first <= 0) {
      print "FAIL: expected two sizes with a positive time" > "/dev/stderr"
      exit 1
    }
    growth = last / first
    printf "smaller device: %.3f s (limit 1 s); time per block, larger / smaller: %.2f (limit 1.50)\n",
           first_seconds, growth
    if (first_seconds >= 1.0) {
      print "FAIL: the model of the smaller device takes a second or more" > "/dev/stderr"
      exit 1
    }
    if (growth > 1.5) {
      print "FAIL: the time per block grows with the size of the device" > "/dev/stderr"
      exit 1
    }
  }'
