#!/usr/bin/env python3
"""Checks `putil activity` on a VCD file larger than 4 GiB: the activity it measures, the line count its
progress uses, and the hard stop at a percentage, against values known by construction.

Most of the file is a "$comment" of NUL bytes left as a hole of a sparse file, broken by a line feed every
256 KiB so that no scanner token is longer than that; the hole ends past 4 GiB, and the timestamps and value
changes after it (times past 2^32 ps too) decide the results. The same text gzip-compressed is read too.
"""
import argparse
import gzip
import os
import re
import shutil
import struct
import subprocess
import sys
import time

FOUR_GIB = 1 << 32
LINE_FEED_SPACING = 1 << 18
HALF_PERIOD = 5000                  # ps between timestamps
FIRST_STEPS = 20000                 # timestamps before the comment: over half of the lines
SECOND_STEPS = 1000                 # timestamps after it
GAP = FOUR_GIB                      # ps between the last timestamp before the comment and the first after it
STOP_PERCENT = 50
HEADER = ("$date\n\tputil bench/huge_vcd.py\n$end\n$timescale 1ps $end\n$scope module top $end\n"
          "$var wire 1 ! clk $end\n$var wire 1 \" a $end\n$var wire 4 # v [3:0] $end\n$upscope $end\n"
          "$enddefinitions $end\n#0\n$dumpvars\n0!\n0\"\nb0000 #\n$end\n")


class WAVEFORM:
    """The values written, kept per signal bit as (time, value) changes, to compute the expected activity."""

    def __init__(self):
        self.changes = {name: [(0, 0)] for name in ("clk", "a", "v[0]", "v[1]", "v[2]", "v[3]")}

    def set(self, name, time_ps, value):
        if self.changes[name][-1][1] != value:
            self.changes[name].append((time_ps, value))

    def set_vector(self, time_ps, bits):
        for position, digit in enumerate(reversed(bits)):
            self.set("v[%d]" % position, time_ps, int(digit))

    def expected_csv(self, end_ps):
        """Rows as putil prints them: single-precision results of its double-precision sums, with %.9g."""
        single = lambda value: struct.unpack("f", struct.pack("f", value))[0]
        seconds = single(0.001) * end_ps / 1e9           # the 1 ps time unit factor is a float
        rows = ["name,static_probability,toggle_rate"]
        for name in ("clk", "a", "v[0]", "v[1]", "v[2]", "v[3]"):
            changes = self.changes[name] + [(end_ps, None)]
            high = sum(later[0] - change[0] for change, later in zip(changes, changes[1:]) if change[1] == 1)
            toggles = len(self.changes[name]) - 1
            rows.append("top|%s,%.9g,%.9g" % (name, single(2.0 * high * 0.5 / end_ps),
                                              single(2.0 * toggles * 0.5 / seconds)))
        return "\n".join(rows) + "\n"


def generate(path, hole_end):
    """Writes the file, its comment ending at the offset hole_end; returns its size, its line feeds, the offset of the first byte after the comment, the
    expected CSV and the line of the timestamp at which the hard stop is due."""
    waveform = WAVEFORM()
    lines = HEADER.count("\n")
    with open(path, "wb") as out:
        out.write(HEADER.encode())
        chunk = []
        for step in range(1, FIRST_STEPS + 1):
            clock = step % 2
            waveform.set("clk", step * HALF_PERIOD, clock)
            chunk.append("#%d\n%d!\n" % (step * HALF_PERIOD, clock))
        out.write("".join(chunk).encode())
        lines += 2 * FIRST_STEPS
        out.write(b"$comment\n")
        lines += 1
        hole_start = out.tell()
        for offset in range(hole_start + LINE_FEED_SPACING, hole_end, LINE_FEED_SPACING):
            out.seek(offset)
            out.write(b"\n")
            lines += 1
        out.seek(hole_end)
        out.write(b"\n$end\n")
        lines += 2
        after_comment = out.tell()
        start = FIRST_STEPS * HALF_PERIOD + GAP
        clock = FIRST_STEPS % 2
        chunk = []
        for step in range(SECOND_STEPS):
            now = start + step * HALF_PERIOD
            clock = 1 - clock
            waveform.set("clk", now, clock)
            chunk.append("#%d\n%d!\n" % (now, clock))
            if step % 4 == 0:
                value = 1 - waveform.changes["a"][-1][1]
                waveform.set("a", now, value)
                chunk.append("%d\"\n" % value)
            if step in (0, 10):
                bits = "1010" if step == 0 else "0110"
                waveform.set_vector(now, bits)
                chunk.append("b%s #\n" % bits)
        end_ps = start + SECOND_STEPS * HALF_PERIOD
        chunk.append("#%d\n" % end_ps)
        text = "".join(chunk)
        out.write(text.encode())
        lines += text.count("\n")
        size = out.tell()
    return size, lines, after_comment, waveform.expected_csv(end_ps)


def run(command):
    started = time.monotonic()
    done = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    return done.returncode, done.stdout.decode(errors="replace"), done.stderr.decode(errors="replace"), \
        time.monotonic() - started


PROGRESS = re.compile(r"Through (\d+) percent of the VCD file \((\d+) lines out of (\d+)\)")
HARD_STOP = re.compile(r"Hard stop after (\d+) percent")


def check(failures, condition, text):
    print(("ok    " if condition else "FAIL  ") + text)
    if not condition:
        failures.append(text)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("putil")
    parser.add_argument("folder", help="an empty folder for the files; they are removed as soon as checked")
    parser.add_argument("--comment-end", type=int, default=FOUR_GIB + (1 << 20),
                        help="offset where the comment ends (default 4 GiB + 1 MiB; smaller only to try this out)")
    args = parser.parse_args()
    failures = []

    path = os.path.join(args.folder, "huge.vcd")
    started = time.monotonic()
    size, lines, after_comment, expected = generate(path, args.comment_end)
    disk = os.stat(path).st_blocks * 512
    print("%s: %d bytes (%.2f GiB, %.0f MB on disk), %d line feeds; the body after the comment starts at "
          "byte %d; written in %.1f s" % (path, size, size / (1 << 30), disk / 1e6, lines, after_comment,
                                          time.monotonic() - started))
    if disk > 1 << 30:
        sys.exit("huge_vcd.py: the file system keeps no holes; not reading a file of this size")
    check(failures, size > FOUR_GIB and after_comment > FOUR_GIB, "file and its last values past 4 GiB")

    status, out, err, seconds = run([args.putil, "--debug", "activity", "--format", "csv", path])
    print("putil activity --debug: status %d in %.1f s (%.0f MB/s)" % (status, seconds, size / 1e6 / seconds))
    check(failures, status == 0, "exit status 0")
    check(failures, out == expected, "activity as constructed:\n" + expected.rstrip())
    if out != expected:
        print("putil wrote:\n" + out)
    progress = [tuple(map(int, match)) for match in PROGRESS.findall(err)]
    check(failures, progress and all(total == lines for _, _, total in progress),
          "progress counts %d lines (%s)" % (lines, sorted({total for _, _, total in progress})))
    check(failures, progress and progress[-1][0] >= 99 and progress[-1][1] <= lines,
          "progress reaches the end: %s" % (progress[-1:],))
    check(failures, all(percent == int(line / lines * 100.0) for percent, line, _ in progress),
          "each percentage is the line reached over the line count")

    status, out, err, seconds = run([args.putil, "--debug", "activity", "--format", "csv", "--set",
                                     "putil_vcd_stop_after_percent=%d" % STOP_PERCENT, path])
    stops = HARD_STOP.findall(err)
    progress = [tuple(map(int, match)) for match in PROGRESS.findall(err)]
    print("with putil_vcd_stop_after_percent=%d: status %d in %.1f s, %s" % (STOP_PERCENT, status, seconds,
                                                                           stops))
    check(failures, status == 0 and out.startswith("name,") and len(stops) == 1 and "stopped early" in err,
          "a clean stop, status 0, the part read written and a warning")
    # The bar moves in steps of about one percent: the stop comes within one step of the percentage.
    check(failures, progress and stops and int(stops[0]) == progress[-1][0] == int(progress[-1][1] / lines * 100.0)
          and STOP_PERCENT * lines <= 100 * progress[-1][1] <= (STOP_PERCENT + 1) * lines + 200,
          "stopped at %d%% of the %d lines: %s" % (STOP_PERCENT, lines, progress[-1:]))

    compressed = path + ".gz"
    started = time.monotonic()
    with open(path, "rb") as source, gzip.open(compressed, "wb", compresslevel=1) as target:
        shutil.copyfileobj(source, target, 1 << 22)
    os.remove(path)
    print("%s: %d bytes, compressed in %.1f s" % (compressed, os.path.getsize(compressed),
                                                  time.monotonic() - started))
    status, out, err, seconds = run([args.putil, "--debug", "activity", "--format", "csv", compressed])
    progress = [int(match[0]) for match in PROGRESS.findall(err)]
    print("putil activity on it: status %d in %.1f s" % (status, seconds))
    check(failures, status == 0 and out == expected, "compressed: the same activity")
    check(failures, progress and progress[-1] >= 99, "compressed: progress by compressed bytes reaches the end")
    os.remove(compressed)

    if failures:
        sys.exit("huge_vcd.py: %d check(s) failed" % len(failures))


if __name__ == "__main__":
    main()
