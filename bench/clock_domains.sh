#!/bin/sh
# Times the clock domain calculation (bench/clock_domains.cpp) on synthetic
# designs of 64 clock domains at two sizes; fails when the time per timing
# node at the larger size is more than 1.5 times that at the smaller, which
# would mean the walks do not stay linear in the design.
set -eu

. "$(dirname "$0")/common.sh"
bench=$(bench_program putil_bench_clock_domains)

# Smaller first: the check compares the two lines in this order.
small=${BENCH_CLOCK_SMALL:-250000}
large=${BENCH_CLOCK_LARGE:-1000000}

bench_header "clock domain calculation, 64 clocks" "seconds: best of three runs of calculate_clock_domains (STRICT) on one design"

# "nodes N edges E clocks C seconds S seconds_per_clock_edge X seconds_per_node Y"
"$bench" "$small" "$large" | awk '
  {
    for (i = 1; i < NF; i += 2)
      value[$i] = $(i + 1)
    printf "%9d nodes %9d edges %3d clocks %8.3f s %10.3e s/(clock x edge) %10.3e s/node\n",
           value["nodes"], value["edges"], value["clocks"], value["seconds"],
           value["seconds_per_clock_edge"], value["seconds_per_node"]
    if (NR == 1) first = value["seconds_per_node"]
    last = value["seconds_per_node"]
  }
  END {
    if (NR < 2 || first <= 0) {
      print "FAIL: expected two sizes with a positive time" > "/dev/stderr"
      exit 1
    }
    growth = last / first
    printf "time per node, larger / smaller: %.2f (limit 1.50)\n", growth
    if (growth > 1.5) {
      print "FAIL: the time per node grows with the size of the design" > "/dev/stderr"
      exit 1
    }
  }'
