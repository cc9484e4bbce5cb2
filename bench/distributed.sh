#!/bin/sh
# Times putil.activity over 8 generated VCD files in one process against
# putil.distributed.activity on a LocalCluster of two worker processes (the
# cluster started before the clock runs), checks that both give the same
# activity, and prints the ratio of the times.
set -eu

. "$(dirname "$0")/common.sh"
bench_require_python_and_time
if ! python3 -c "import distributed" 2>/dev/null; then
  echo "$bench_name: Dask is required (Debian package python3-distributed; make installs it)" >&2
  exit 1
fi
signals=${BENCH_SIGNALS:-5000}
timestamps=${BENCH_TIMESTAMPS:-4000}

work=$(mktemp -d /tmp/putil-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
trap 'exit 130' INT TERM

echo "putil.distributed benchmark: 8 files of $signals signals x $timestamps timestamps, $(nproc) CPUs"
for i in 1 2 3 4 5 6 7 8; do
  python3 "$here/generate_vcd.py" "$work/run$i.vcd" --signals "$signals" --timestamps "$timestamps" --seed "$i"
done
PYTHONPATH="$putil_build/python" python3 - "$work" <<'PY'
import glob
import sys
import time

from distributed import Client, LocalCluster

import putil
import putil.distributed

files = sorted(glob.glob(sys.argv[1] + "/run*.vcd"))
start = time.perf_counter()
single = putil.activity(files)
sequential = time.perf_counter() - start
with LocalCluster(n_workers=2, threads_per_worker=1, processes=True, dashboard_address=None,
                  silence_logs=40) as cluster, Client(cluster) as client:
    start = time.perf_counter()
    result = putil.distributed.activity(files, client)
    distributed = time.perf_counter() - start
assert result.rows == single.rows and result.inputs == single.inputs, "the cluster's result differs"
print(f"sequential (one process):        {sequential:8.2f} s")
print(f"LocalCluster (2 worker processes): {distributed:8.2f} s")
print(f"ratio sequential / distributed:  {sequential / distributed:8.2f}")
PY
