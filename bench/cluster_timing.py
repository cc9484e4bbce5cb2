"""The timing of bench/distributed.sh: putil.activity over the VCD files of
a folder in this process, then putil.distributed.activity on a LocalCluster
of two worker processes; both results must agree. A file of its own: the
cluster's worker processes import the main module."""
import glob
import sys
import time

from distributed import Client, LocalCluster

import putil
import putil.distributed


def main(folder):
    files = sorted(glob.glob(folder + "/run*.vcd"))
    start = time.perf_counter()
    single = putil.activity(files)
    sequential = time.perf_counter() - start
    with LocalCluster(n_workers=2, threads_per_worker=1, processes=True, dashboard_address=None,
                      silence_logs=40) as cluster, Client(cluster) as client:
        # The workers load the module before the clock runs, as a cluster
        # that has served a job before has it.
        client.run(lambda: __import__("putil.distributed"))
        start = time.perf_counter()
        result = putil.distributed.activity(files, client)
        distributed = time.perf_counter() - start
    assert result.rows == single.rows and result.inputs == single.inputs, "the cluster's result differs"
    print(f"sequential (one process):          {sequential:8.2f} s")
    print(f"LocalCluster (2 worker processes): {distributed:8.2f} s")
    print(f"ratio sequential / distributed:    {sequential / distributed:8.2f}")


if __name__ == "__main__":
    main(sys.argv[1])
