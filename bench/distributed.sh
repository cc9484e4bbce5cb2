#!/bin/sh
# Times putil.activity over 8 generated VCD files in one process against
# putil.distributed.activity on a LocalCluster of two worker processes (the
# cluster started before the clock runs), checks that both give the same
# activity, and prints the ratio of the times.
set -eu

. "$(dirname "$0")/common.sh"
bench_require_python_and_time
# The module is built for Debian's interpreter, which Debian's Dask serves.
python=/usr/bin/python3
if ! "$python" -c "import distributed" 2>/dev/null; then
  echo "$bench_name: Dask is required (Debian package python3-distributed; make installs it)" >&2
  exit 1
fi
signals=${BENCH_SIGNALS:-5000}
timestamps=${BENCH_TIMESTAMPS:-4000}

work=$(mktemp -d /tmp/putil-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
trap 'exit 130' INT TERM

echo "putil.distributed benchmark: 8 files of $signals signals x $timestamps timestamps, $(nproc) CPUs"
# The same declarations and changes in each: without a design file, every
# task derives the design from its own file, so they must declare alike.
for i in 1 2 3 4 5 6 7 8; do
  python3 "$here/generate_vcd.py" "$work/run$i.vcd" --signals "$signals" --timestamps "$timestamps"
done
PYTHONPATH="$putil_build/python" "$python" "$here/cluster_timing.py" "$work"
