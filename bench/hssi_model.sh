#!/bin/sh
# Times the transceiver model (bench/hssi_model.cpp): build from the device,
# fill from the design and the bonding walks, on devices of about 10,000 and
# 40,000 transceiver blocks. Fails when the smaller takes a second or more,
# or when the time per block at the larger size is more than 2 times that at
# the smaller: a walk quadratic in the elements would make it 4 times, while
# the larger device's elements (about 1.3 kB each) no longer fit the caches,
# which alone costs about 1.7 times on a 2-CPU VM.
set -eu

. "$(dirname "$0")/common.sh"
bench=$(bench_program putil_bench_hssi_model)

bench_header "transceiver model" "seconds: best of three runs of build, fill and bonding walks"

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
    printf "smaller device: %.3f s (limit 1 s); time per block, larger / smaller: %.2f (limit 2.00)\n",
           first_seconds, growth
    if (first_seconds >= 1.0) {
      print "FAIL: the model of the smaller device takes a second or more" > "/dev/stderr"
      exit 1
    }
    if (growth > 2.0) {
      print "FAIL: the time per block grows with the size of the device" > "/dev/stderr"
      exit 1
    }
  }'
