"""The Python module against the program: the same job must give the same
rows and input summaries, and failures must raise putil.Error."""
import _thread
import csv
import json
import os
import pathlib
import re
import subprocess
import tempfile
import threading
import time

import pytest

import putil

EXAMPLES = pathlib.Path(__file__).resolve().parents[2] / "examples"
VCD = str(EXAMPLES / "counter.vcd")
DESIGN = str(EXAMPLES / "counter_design.json")


def run_cli(args, output_format):
    result = subprocess.run([os.environ["PUTIL_BINARY"], "activity", "--format", output_format, *args],
                            capture_output=True, text=True, check=True)
    return result.stdout


def cli_rows(args):
    """The rows of the program's CSV, with the source columns that constraints add."""
    lines = list(csv.reader(run_cli(args, "csv").splitlines()))
    assert lines[0][:3] == ["name", "static_probability", "toggle_rate"]
    return [(name, *(float(value) if value else None for value in values[:2]), *values[2:])
            for name, *values in lines[1:]]


# (module call, the program's arguments for the same job)
SAME_JOB_CASES = {
    "design": (dict(vcd_files=VCD, design=DESIGN), ["--design", DESIGN, VCD]),
    "derived_design": (dict(vcd_files=pathlib.Path(VCD)), [VCD]),
    "window": (dict(vcd_files=[VCD], design=DESIGN, start="100ns", end="1.5us"),
               ["--design", DESIGN, "--start", "100ns", "--end", "1.5us", VCD]),
    "files_in_order": (dict(vcd_files=[VCD, pathlib.Path(VCD)], design=DESIGN), ["--design", DESIGN, VCD, VCD]),
    "strict": (dict(vcd_files=VCD, strict=True), ["--strict", VCD]),
}


@pytest.mark.parametrize("call, args", SAME_JOB_CASES.values(), ids=SAME_JOB_CASES.keys())
def test_gives_the_rows_and_inputs_of_the_program(call, args):
    result = putil.activity(**call)
    assert result.rows == cli_rows(args)
    assert any(value is not None for row in result.rows for value in row[1:])
    report = json.loads(run_cli(args, "json"))
    assert result.inputs == report["inputs"]
    assert result.messages == report["messages"]


# (file name or None for no file, its contents or None to leave it missing, call arguments, expected id)
FAILURE_CASES = {
    "missing_file": ("missing.vcd", None, {}, 222005),
    "parse_error": ("broken.vcd", "$timescale 1ns $end\n$scope module top $end\n$var wire 1 ! a\n", {}, 222007),
    # Several digits for a one-bit signal are a malformed value.
    "malformed_value": ("wide.vcd", "$scope module top $end\n$var wire 1 ! a $end\n$upscope $end\n"
                        "$enddefinitions $end\n#0\n0!\n#10\nb110 !\n#20\n", {}, 222007),
    "bad_time": ("ok.vcd", "$enddefinitions $end\n", {"start": "ten ns"}, 0),
    "start_after_end": ("ok.vcd", "$enddefinitions $end\n", {"start": "2ns", "end": "1ns"}, 0),
    "bad_design": ("ok.vcd", "$enddefinitions $end\n", {"design": "/nonexistent/design.json"}, 0),
    "no_files": (None, None, {}, 0),
}


@pytest.mark.parametrize("name, text, arguments, expected_id", FAILURE_CASES.values(), ids=FAILURE_CASES.keys())
def test_failure_raises_error_with_id_and_text(tmp_path, name, text, arguments, expected_id):
    if text is not None:
        (tmp_path / name).write_text(text)
    files = [str(tmp_path / name)] if name else []
    with pytest.raises(putil.Error) as raised:
        putil.activity(files, **arguments)
    error = raised.value
    assert error.id == expected_id and error.text in str(error)
    assert str(expected_id) in str(error) or expected_id == 0


def test_repeated_calls_give_the_same_result(tmp_path):
    first = putil.activity(VCD, design=DESIGN)
    with pytest.raises(putil.Error):
        putil.activity(str(tmp_path / "missing.vcd"))
    putil.activity(VCD, strict=True, start="1ns")
    again = putil.activity(VCD, design=DESIGN)
    assert (again.rows, again.inputs, again.messages) == (first.rows, first.inputs, first.messages)


def case_rule_design(folder, netlist_type):
    """One register whose simulation netlist name differs from the VCD's in case only."""
    design = {"name": f"case_rule_{netlist_type}",
              "atoms": [{"name": "top|u|r", "kind": "lcell_ff",
                         "outputs": [{"hpath": "top|u|r", "registered": True, "eda_name": "top/u/Mixed_Sig"}]}],
              "eda": {"netlist_type": netlist_type}}
    path = folder / f"case_rule_{netlist_type}.json"
    path.write_text(json.dumps(design))
    return str(path)


def test_each_call_uses_its_own_designs_case_rule(tmp_path):
    vcd = tmp_path / "mixed.vcd"
    vcd.write_text("$timescale 1ns $end\n$scope module top $end\n$scope module u $end\n"
                   "$var wire 1 ! mixed_sig $end\n$upscope $end\n$upscope $end\n$enddefinitions $end\n"
                   "#0\n0!\n#10\n1!\n#40\n")
    # Type 2 compares names in lower case and matches; type 3 compares them as written and does not.
    designs = {netlist_type: case_rule_design(tmp_path, netlist_type) for netlist_type in (2, 3)}
    expected = {netlist_type: cli_rows(["--design", design, str(vcd)]) for netlist_type, design in designs.items()}
    assert expected[2] != expected[3]
    for netlist_type in (2, 3, 2):
        assert putil.activity(str(vcd), design=designs[netlist_type]).rows == expected[netlist_type]


def test_version_is_the_programs():
    version = subprocess.run([os.environ["PUTIL_BINARY"], "--version"], capture_output=True, text=True,
                             check=True).stdout.split()
    assert version == ["putil", putil.__version__]


# (vcd_files, design, expected exception, part of its message); VCD and DESIGN are filled in.
ARGUMENT_CASES = {
    "nul_in_path": (VCD + "\0.bak", None, ValueError, "vcd_files: embedded null byte"),
    "nul_in_design": (VCD, DESIGN + "\0", ValueError, "design: embedded null byte"),
    "number_as_path": (3, None, TypeError, "vcd_files: expected a path"),
    "number_in_list": ([VCD, 3], None, TypeError, "vcd_files[1]:"),
    "number_as_design": (VCD, 5, TypeError, "design:"),
}


@pytest.mark.parametrize("files, design, exception, text", ARGUMENT_CASES.values(), ids=ARGUMENT_CASES.keys())
def test_bad_path_arguments_raise_as_open_does(files, design, exception, text):
    with pytest.raises(exception, match=re.escape(text)):
        putil.activity(files, design=design)


def test_paths_may_be_bytes_or_path_like():
    expected = putil.activity(VCD, design=DESIGN).rows
    assert putil.activity(os.fsencode(VCD), design=os.fsencode(DESIGN)).rows == expected
    assert putil.activity([pathlib.Path(VCD)], design=pathlib.Path(DESIGN)).rows == expected


def test_json_overflow_is_a_putil_error(tmp_path):
    design = tmp_path / "d.json"
    design.write_text('{"name": "d", "atoms": [{"name": "a", "kind": "input_pin", "x": 1e400}]}')
    with pytest.raises(putil.Error) as raised:
        putil.activity(VCD, design=str(design))
    assert raised.value.id == 0 and "atoms[0].x: number overflow" in raised.value.text


@pytest.mark.parametrize("writer_keeps_writing", [True, False], ids=["writing", "silent"])
def test_ctrl_c_stops_a_read_within_a_second(tmp_path, writer_keeps_writing):
    """A read of a FIFO whose writer never ends, writing or silent, is stopped
    by Ctrl-C, and the next call works."""
    fifo = tmp_path / "endless.vcd"
    os.mkfifo(fifo)
    writing = threading.Event()
    done = threading.Event()

    def write_forever():
        try:
            with open(fifo, "w") as stream:
                header = pathlib.Path(VCD).read_text().split("$enddefinitions $end", 1)[0]
                stream.write(header + "$enddefinitions $end\n")
                time_step = 0
                while not done.is_set():
                    time_step += 10
                    stream.write(f"#{time_step}\n")
                    stream.flush()
                    writing.set()
                    time.sleep(0.001 if writer_keeps_writing else 0.1)
                    while not writer_keeps_writing and not done.is_set():
                        time.sleep(0.05)
        except (BrokenPipeError, OSError):
            pass

    writer = threading.Thread(target=write_forever, daemon=True)
    writer.start()
    interrupter = threading.Timer(0.5, _thread.interrupt_main)
    interrupter.start()
    begun = time.monotonic()
    try:
        with pytest.raises(KeyboardInterrupt):
            putil.activity(str(fifo), design=DESIGN)
        assert writing.is_set() and time.monotonic() - begun < 0.5 + 1.5
    finally:
        done.set()
        writer.join(timeout=5)
    assert putil.activity(VCD, design=DESIGN).rows == cli_rows(["--design", DESIGN, VCD])


def run_program(command, args):
    return subprocess.run([os.environ["PUTIL_BINARY"], command, *args], capture_output=True, text=True,
                          check=True).stdout


# A constraint that overrides the waveform's clock, with a command that is skipped with a warning.
CLOCK_SDC = os.path.join(tempfile.mkdtemp(), "clk.sdc")
pathlib.Path(CLOCK_SDC).write_text("create_clock -name clk -period 5 -waveform {0 1} [get_ports clk]\n"
                                   "set_false_path -from [get_ports rst]\n")


# The activity options beside the files: (module call, the program's arguments for the same job).
ACTIVITY_OPTION_CASES = {
    "scope": (dict(vcd_files=VCD, design=DESIGN, scope="dut"), ["--design", DESIGN, "--scope", "dut", VCD]),
    "design_delays": (dict(vcd_files=VCD, design=DESIGN, filter_glitches=True),
                      ["--design", DESIGN, "--filter-glitches", VCD]),
    "glitch_width": (dict(vcd_files=VCD, design=DESIGN, filter_glitches="20ns"),
                     ["--design", DESIGN, "--filter-glitches=20ns", VCD]),
    "glitch_picoseconds": (dict(vcd_files=VCD, design=DESIGN, filter_glitches=20000),
                           ["--design", DESIGN, "--filter-glitches=20000", VCD]),
    "merge_add": (dict(vcd_files=[VCD, VCD], design=DESIGN, merge="add"), ["--design", DESIGN, "--merge", "add", VCD, VCD]),
    "constraints": (dict(vcd_files=VCD, design=DESIGN, sdc=CLOCK_SDC), ["--design", DESIGN, "--sdc", CLOCK_SDC, VCD]),
    "settings": (dict(vcd_files=VCD, settings={"putil_vcd_fast_body": False, "putil_vcd_apply_thread": "off"}),
                 ["--set", "putil_vcd_fast_body=off", "--set", "putil_vcd_apply_thread=off", VCD]),
}


@pytest.mark.parametrize("call, args", ACTIVITY_OPTION_CASES.values(), ids=ACTIVITY_OPTION_CASES.keys())
def test_activity_options_are_the_programs(call, args):
    result = putil.activity(**call)
    assert result.rows == cli_rows(args)
    report = json.loads(run_cli(args, "json"))
    assert result.inputs == report["inputs"]
    assert [m for m in result.messages if m["id"]] == report["messages"]
    if "sdc" in call:
        assert result.rows[0] == ("dut|clk", 0.200000003, 400000000.0, "constraints", "constraints")
        assert {"severity": "warning", "id": 0, "text": f"{CLOCK_SDC}: skipped 1 set_false_path command (only "
                "create_clock and create_generated_clock are read)"} in result.messages


def test_clocks_gives_the_programs_json_records():
    design = str(EXAMPLES / "two_clocks_design.json")
    sdc = str(EXAMPLES / "two_clocks.sdc")
    for rule in ("strict", "fastest"):
        result = putil.clocks(design, sdc=sdc, rule=rule, relative={"top|sync|q2": 12.5, "din~pad": 50})
        report = json.loads(run_program("clocks", ["--design", design, "--sdc", sdc, "--rule", rule, "--format", "json",
                                                   "--relative", "top|sync|q2=12.5", "--relative", "din~pad=50"]))
        assert (result.rule, result.signals, result.tables, result.messages) == \
               (report["rule"], report["signals"], report["tables"], report["messages"])
        assert len(result.signals) == 9 and result.signals[-2]["toggle_rate"] == 31250000.0


def tbl_text_records(text):
    """The lists, unit and rows of a TBL text, read independently of the module."""
    lines = text.splitlines()
    names = {line.rstrip(";").split()[0]: line.rstrip(";").split()[1:]
             for line in lines if line.startswith(("INPUTS", "OUTPUTS"))}
    unit = next(line[5:-1] for line in lines if line.startswith("UNIT "))
    rows = []
    for line in lines[lines.index("PATTERN") + 1:]:
        if ">" in line:
            time, values = line.split(">")
            inputs, outputs = values.split("=")
            rows.append((float(time), inputs.replace(" ", ""), outputs.replace(" ", "")))
    return names["INPUTS"], names["OUTPUTS"], unit, rows


@pytest.mark.parametrize("options, args", [({}, []), (dict(start="100ns", end="300ns", inputs_only=True),
                                                      ["--start", "100ns", "--end", "300ns", "--inputs-only"]),
                                           (dict(exact_times=True), ["--exact-times"])],
                         ids=["whole", "window_inputs_only", "exact_times"])
def test_tbl_gives_the_records_of_the_programs_file(tmp_path, options, args):
    text = run_program("tbl", [VCD, "--design", DESIGN, *args])
    kept = tmp_path / "kept.tbl"
    result = putil.tbl(VCD, design=DESIGN, output=kept, **options)
    assert (result.inputs, result.outputs, result.unit, result.rows) == tbl_text_records(text)
    assert len(result.rows) > 10 and kept.read_text() == text


def test_transient_gives_the_programs_points_as_arrays():
    energies = str(EXAMPLES / "counter_energies.csv")
    result = putil.transient(VCD, energies, 0.9, design=DESIGN)
    lines = list(csv.reader(run_program("transient", [VCD, "--design", DESIGN, "--energies", energies,
                                                      "--voltage", "0.9"]).splitlines()))
    assert lines[0] == ["time_s", "current_a"]
    assert result.times.dtype == "float64" and len(result.times) == len(lines) - 1 > 100
    assert result.times.tolist() == [float(time) for time, _ in lines[1:]]
    assert result.currents.tolist() == [float(current) for _, current in lines[1:]]


# (call, expected exception, expected id or None, part of the text)
JOB_FAILURE_CASES = {
    "unknown_scope": (lambda: putil.activity(VCD, design=DESIGN, scope="nope"), putil.Error, 0, "nope"),
    "unknown_merge": (lambda: putil.activity(VCD, merge="sum"), putil.Error, 0, "replace, add, keep or concatenate"),
    "bad_glitch_width": (lambda: putil.activity(VCD, filter_glitches="wide"), putil.Error, 0, "--filter-glitches"),
    "glitch_width_type": (lambda: putil.activity(VCD, filter_glitches=1.5), TypeError, None, "filter_glitches"),
    "unknown_setting": (lambda: putil.activity(VCD, settings={"nope": 1}), putil.Error, 0, "unknown setting"),
    "settings_type": (lambda: putil.activity(VCD, settings=["a=b"]), TypeError, None, "settings"),
    "unknown_rule": (lambda: putil.clocks(DESIGN, rule="median"), putil.Error, 0, "strict, fastest or slowest"),
    "negative_relative": (lambda: putil.clocks(DESIGN, relative={"dut|tc": -1}), ValueError, None, "relative"),
    "unknown_relative": (lambda: putil.clocks(DESIGN, relative={"nope": 1}), putil.Error, 0, "no output signal"),
    "tbl_start_after_end": (lambda: putil.tbl(VCD, start="20ns", end="10ns"), putil.Error, 222004, ""),
    "tbl_missing": (lambda: putil.tbl(VCD + ".missing"), putil.Error, 222005, ""),
    "transient_voltage": (lambda: putil.transient(VCD, DESIGN, 0.0), ValueError, None, "voltage"),
    "transient_energies": (lambda: putil.transient(VCD, DESIGN, 1.0), putil.Error, 0, "counter_design.json"),
}


@pytest.mark.parametrize("call, exception, expected_id, text", JOB_FAILURE_CASES.values(), ids=JOB_FAILURE_CASES.keys())
def test_job_failures_raise(call, exception, expected_id, text):
    with pytest.raises(exception) as raised:
        call()
    assert text in str(raised.value)
    if expected_id is not None:
        assert raised.value.id == expected_id
    # The next call starts from a reset host.
    assert putil.activity(VCD, design=DESIGN).rows == cli_rows(["--design", DESIGN, VCD])




def cli_json(*args):
    result = subprocess.run([os.environ["PUTIL_BINARY"], *args, "--format", "json"],
                            capture_output=True, text=True, check=True)
    return json.loads(result.stdout)


# (module call, the program's arguments for the same job)
HSSI_CASES = {
    "vcd": (dict(design=EXAMPLES / "two_plls_design.json", vcd_files=EXAMPLES / "two_plls.vcd"),
            ["--design", str(EXAMPLES / "two_plls_design.json"), "--vcd", str(EXAMPLES / "two_plls.vcd")]),
    "device_only": (dict(device=str(EXAMPLES / "kvb_device.json")), ["--device", str(EXAMPLES / "kvb_device.json")]),
    "bundled_design": (dict(design=str(EXAMPLES / "fennick_design.json")),
                       ["--design", str(EXAMPLES / "fennick_design.json")]),
}


@pytest.mark.parametrize("call, args", HSSI_CASES.values(), ids=HSSI_CASES.keys())
def test_hssi_gives_the_power_report_of_the_program(call, args):
    result = putil.hssi(**call)
    report = cli_json("hssi", *args)
    assert (result.elements, result.supplies, result.regions) == \
        (report["elements"], report["supplies"], report["regions"])


def test_hssi_takes_saved_activity(tmp_path):
    saved = tmp_path / "activity.json"
    subprocess.run([os.environ["PUTIL_BINARY"], "activity", "--design", str(EXAMPLES / "two_plls_design.json"), "--format", "json",
                    "-o", str(saved), str(EXAMPLES / "two_plls.vcd")], check=True, capture_output=True)
    read = putil.hssi(design=EXAMPLES / "two_plls_design.json", vcd_files=[EXAMPLES / "two_plls.vcd"])
    again = putil.hssi(design=EXAMPLES / "two_plls_design.json", activity=saved)
    assert read.supplies == again.supplies and read.elements == again.elements
    assert [total["power"] for total in read.supplies] == pytest.approx([0.020, 0.002])


@pytest.mark.parametrize("family", ["haldorv", "kvb", "womblet"])
def test_supplies_gives_the_tables_of_the_program(family):
    device = str(EXAMPLES / f"{family}_device.json")
    assert putil.supplies(device=device) == cli_json("supplies", "--device", device)


def test_hssi_failures_raise_putil_error():
    with pytest.raises(putil.Error, match="no device"):
        putil.hssi()
    with pytest.raises(putil.Error, match="does not fit the device"):
        putil.hssi(device=str(EXAMPLES / "kvb_device.json"), family="haldorv")
