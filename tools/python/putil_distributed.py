"""Signal activity of many VCD files on a Dask cluster: the workers read the
files into partial results (putil.activity_partial), the client merges them
in file order (putil.merge), so the result does not depend on which worker
finished first. Every worker needs the putil module, and every file (and the
design) must be readable under the same path on every worker: a shared
filesystem, or copies at the same place."""

import os


def _path(file):
    return os.fsdecode(os.fspath(file))


def _partial(vcd_files, **options):
    """A task: putil.activity_partial on a worker (a function of the module
    itself cannot travel)."""
    import putil
    return putil.activity_partial(vcd_files, **options)


def activity(vcd_files, client, design=None, start=None, end=None, strict=False, mode="replace"):
    """activity(vcd_files, client, design=None, start=None, end=None, strict=False, mode="replace") -> Activity

    putil.activity over vcd_files (a path or a list of paths, in order), read
    one file per task on the cluster of client (a dask.distributed.Client)
    and merged on the client as putil.merge(partials, mode) merges them. With
    design None each task derives the design from its own file: the files must
    then declare the same signals."""
    import putil  # at call time: this code runs while the module putil is being made
    if isinstance(vcd_files, (str, bytes, os.PathLike)):
        vcd_files = [vcd_files]
    files = [_path(file) for file in vcd_files]
    design_path = None if design is None else _path(design)
    futures = client.map(_partial, [[file] for file in files], design=design_path, start=start,
                         end=end, strict=strict, pure=False)
    partials = client.gather(futures)
    return putil.merge(partials, mode=mode, design=design_path)
