"""Partial results in Python: picklable, merged into what putil.activity (or
the program's --merge) gives over all the files, whichever order they were
made in; and putil.distributed on a two-process Dask cluster."""
import os
import pathlib
import pickle
import subprocess

import pytest

import putil
import putil.distributed

EXAMPLES = pathlib.Path(__file__).resolve().parents[2] / "examples"
CORPUS = pathlib.Path(__file__).resolve().parents[3] / "shared" / "vcd-corpus"
HEADER = ("$timescale {} $end\n$scope module top $end\n$var wire 1 ! a $end\n$var wire 3 \" b [2:0] $end\n"
          "$upscope $end\n$enddefinitions $end\n")
BODIES = [("1ns", "#0\n0!\nb000 \"\n#10\n1!\nb101 \"\n#25\n0!\n#40\n"),
          ("10ps", "#0\n1!\nbx01 \"\n#300\n0!\n#1200\n"),
          ("1ns", "#0\n0!\nb111 \"\n#2.5\n1!\n#9\n")]


@pytest.fixture
def generated(tmp_path):
    files = []
    for index, (unit, body) in enumerate(BODIES):
        path = tmp_path / f"run{index}.vcd"
        path.write_text(HEADER.format(unit) + body)
        files.append(str(path))
    return files


def cli_csv(args):
    return subprocess.run([os.environ["PUTIL_BINARY"], "activity", "--quiet", "--format", "csv", *args],
                          capture_output=True, text=True, check=True).stdout


def csv_of(activity):
    def number(value):
        return "" if value is None else f"{value:.9g}"
    return "name,static_probability,toggle_rate\n" + "".join(
        f"{name},{number(sp)},{number(rate)}\n" for name, sp, rate in activity.rows)


def test_merge_in_file_order_equals_one_run(generated):
    partials = [putil.activity_partial(file) for file in reversed(generated)][::-1]
    partials = [pickle.loads(pickle.dumps(partial)) for partial in partials]
    whole = putil.activity(generated)
    merged = putil.merge(partials)
    assert (merged.rows, merged.inputs, merged.messages) == (whole.rows, whole.inputs, whole.messages)
    for mode in ("add", "keep", "concatenate"):
        assert csv_of(putil.merge(partials, mode=mode)) == cli_csv(["--merge", mode, *generated]), mode


def test_partial_round_trips_through_its_json(generated):
    partial = putil.activity_partial(generated[:2])
    again = putil.Partial(partial.json)
    assert putil.merge([again]).rows == putil.activity(generated[:2]).rows


def test_partials_that_disagree_raise_error(generated):
    with pytest.raises(putil.Error, match="cannot merge partial 2 with partial 1: their windows differ"):
        putil.merge([putil.activity_partial(generated[0]), putil.activity_partial(generated[1], end="5ns")])
    with pytest.raises(ValueError, match="mode"):
        putil.merge([putil.activity_partial(generated[0])], mode="average")


@pytest.fixture(scope="module")
def client():
    distributed = pytest.importorskip("distributed")
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True, dashboard_address=None,
                                  silence_logs=40) as cluster, distributed.Client(cluster) as dask_client:
        yield dask_client


def test_cluster_gives_the_single_process_result(client, generated):
    # Generated files with a design file, and the same files deriving it.
    design = str(EXAMPLES / "counter_design.json")
    cases = [(generated, None), (generated[::-1], None), ([str(EXAMPLES / "counter.vcd")] * 3, design)]
    for files, design_file in cases:
        single = putil.activity(files, design=design_file)
        result = putil.distributed.activity(files, client, design=design_file)
        assert (result.rows, result.inputs, result.messages) == (single.rows, single.inputs, single.messages)
    concatenated = putil.distributed.activity(generated, client, mode="concatenate")
    assert csv_of(concatenated) == cli_csv(["--merge", "concatenate", *generated])


def test_cluster_over_the_corpus(client):
    if not CORPUS.is_dir():
        pytest.skip(f"the VCD corpus is not at {CORPUS} (it is not shipped with putil)")
    for name in ("questasim-rf_bench.vcd", "vcs-processor.vcd", "ghdl-pcpu.vcd"):
        files = [str(CORPUS / name)] * 2
        single = putil.activity(files)
        result = putil.distributed.activity(files, client)
        assert (result.rows, result.inputs, result.messages) == (single.rows, single.inputs, single.messages), name
