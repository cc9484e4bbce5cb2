#!/usr/bin/env python3
"""Writes COUNT small VCD and EVCD files of varied form into FOLDER, and FOLDER/cases.txt: one `putil activity`
argument list per line (options, then the files), for comparing two builds of putil on them. The same seed gives the
same files.

The files cover what the reader treats differently: scalars and vectors, x and z, nine-level digits, vectors shorter
and longer than their declaration, aliases, codes declared as scalars and read with vector values, unknown codes, dump
blocks, reals and strings, timestamps with fractions, leading zeros or more than 15 digits, several changes on a line,
CRLF and CR line ends, blank lines, blanks before and after a line, comments in the body, decreasing timestamps,
malformed lines, EVCD ports, and lines on both sides of the scanner's 131072-byte blocks. Options add windows, glitch
filters, strict reading and a second file whose codes differ from the first's."""
import argparse
import os
import random

from generate_vcd import identifier_code as base94


def random_code(rng, taken):
    while True:
        code = "".join(chr(rng.randint(33, 126)) for _ in range(rng.choice((1, 1, 2, 3, 5))))
        if code not in taken:
            taken.add(code)
            return code


class Signal:
    def __init__(self, code, width, name, declared_width, declaration):
        self.code = code
        self.declaration = declaration
        self.width = width              # bits that values carry
        self.name = name
        self.declared_width = declared_width


class Writer:
    """Collects the lines of one file with the chosen line end and the odd blank line or trailing blank."""

    def __init__(self, rng, style):
        self.rng = rng
        self.style = style
        self.lines = []

    def line(self, text):
        style = self.style
        if style["trailing"] and self.rng.random() < 0.05:
            text += self.rng.choice((" ", "\t", "  ", " \t"))
        if style["leading"] and self.rng.random() < 0.01:
            text = self.rng.choice((" ", "\t")) + text
        self.lines.append(text)
        if style["blank"] and self.rng.random() < 0.03:
            self.lines.extend([""] * self.rng.randint(1, 3))

    def text(self):
        end = self.style["end"]
        if end == "mixed":
            return "".join(line + self.rng.choice(("\n", "\r\n", "\n\n", "\r\n\r\n")) for line in self.lines)
        return end.join(self.lines) + (end if self.rng.random() < 0.9 else "")


def declare(rng, out, config, signals_wanted, codes):
    """Declarations; returns the signals that values are written for."""
    extended = config["extended"]
    out.line("$date today $end")
    out.line("$timescale %s $end" % rng.choice(
        ("1ns", "1 ns", "10ps", "100 ps", "1us", "1 fs", "10 ms", "1s") + (("250 ps", "5 ns") if extended else ())))
    out.line("$scope module top $end")
    signals = []
    depth = 1
    for index in range(signals_wanted):
        if rng.random() < 0.08:
            kind = rng.choice(("module", "module", "begin", "task")) if not extended else rng.choice(
                ("module", "begin", "task", "generate", "interface"))
            out.line("$scope %s m%d $end" % (kind, index))
            depth += 1
        elif depth > 1 and rng.random() < 0.05:
            out.line("$upscope $end")
            depth -= 1
        name = "s%d" % index
        if signals and rng.random() < 0.06:
            # An alias: an earlier declaration again, under another name in this scope.
            earlier = rng.choice(signals)
            out.line(earlier.declaration.replace(" %s " % earlier.name, " %s " % name, 1)
                     .replace(" %s[" % earlier.name, " %s[" % name, 1))
            signals.append(Signal(earlier.code, earlier.width, name, earlier.declared_width, earlier.declaration))
            continue
        code = codes(index)
        roll = rng.random()
        if roll < 0.55:
            declaration = "$var %s 1 %s %s $end" % (rng.choice(("wire", "reg")), code, name)
            width = 1
            declared = 1
        elif roll < 0.62:
            bit = rng.randint(0, 7)
            declaration = "$var wire 1 %s %s [%d] $end" % (code, name, bit)
            width = 1
            declared = 1
        elif roll < 0.9:
            width = rng.choice((2, 3, 4, 8, 16, 33))
            lsb = rng.choice((0, 0, 0, 2))
            form = rng.random()
            if form < 0.6:
                declaration = "$var wire %d %s %s [%d:%d] $end" % (width, code, name, width - 1 + lsb, lsb)
            elif form < 0.8:
                declaration = "$var reg %d %s %s[%d:%d] $end" % (width, code, name, width - 1 + lsb, lsb)
            else:
                declaration = "$var wire %d %s %s [%d:%d] $end" % (width, code, name, lsb, width - 1 + lsb)  # upwards
            declared = width
        else:
            width = rng.choice((2, 8, 32))
            declaration = "$var %s %d %s %s $end" % (rng.choice(("integer", "wire")), width, code, name)  # no range
            declared = width
        out.line(declaration)
        signals.append(Signal(code, width, name, declared, declaration))
    while depth > 0:
        out.line("$upscope $end")
        depth -= 1
    return signals


def digits(rng, config, count):
    if config["extended"] and rng.random() < 0.1:
        return "".join(rng.choice("01xzXZuUwWlLhH-") for _ in range(count))
    if rng.random() < 0.05:
        return "".join(rng.choice("01xzXZ") for _ in range(count))
    return "".join(rng.choice("01") for _ in range(count))


def change(rng, config, signal, unknown_codes):
    """One value change as written on its line."""
    if rng.random() < 0.02:
        code = rng.choice(unknown_codes)
        return rng.choice(("1", "0")) + code if rng.random() < 0.5 else "b101 " + code
    roll = rng.random()
    if signal.width == 1 and roll < 0.9:
        levels = "01xzXZ" + ("uUwWlLhH-" if config["extended"] else "")
        value = rng.choice("01" * 6 + levels)
        if config["vector_on_scalar"] and rng.random() < 0.05:
            wide = config["vector_on_scalar"] == "wide" and rng.random() < 0.3
            return "b%s %s" % (value + "0" if wide else value, signal.code)
        return value + signal.code
    if config["extended"] and roll < 0.93:
        return rng.choice(("r1.5 ", "r0 ", "r-2e-3 ", "sidle ", "s ")) + signal.code
    if roll < 0.95 and not config["extended"]:
        return rng.choice(("r1.5 ", "r3 ")) + signal.code
    count = signal.width
    shape = rng.random()
    if signal.width == 1:
        shape = 1.0          # a scalar takes one digit in vector form; more is an internal error
    if shape < 0.25:
        count = rng.randint(1, max(1, signal.width))     # shorter: left extension
    elif shape < 0.3:
        count = signal.width + rng.randint(1, 3)         # longer than declared
    separator = " " if rng.random() < 0.95 else rng.choice(("\t", "  ", " \t"))
    prefix = "b" if rng.random() < 0.95 else "B"
    return prefix + digits(rng, config, count) + separator + signal.code


def timestamp_text(rng, config, time):
    text = "#%d" % time
    if rng.random() < 0.03:
        text = "#" + "0" * rng.randint(1, 4) + str(time)
    if config["extended"] and rng.random() < 0.03:
        text += rng.choice((".5", ".", ".25", ".000"))
    return text


def malformed(rng, config):
    return rng.choice(("#12x", "b10!0 !", "1", "b102 !", "$bogus $end", "q!", "#", "\x01", "b10\n!", "$end",
                       "pD 6 0 <0", "#5 1!"))


def body(rng, out, config, signals, length_goal, unknown_codes):
    extended = config["extended"]
    time = 0
    out.line("$enddefinitions $end" if not (extended and rng.random() < 0.1) else "")
    if rng.random() < 0.3:
        out.line("$comment body starts $end")
    if rng.random() < 0.8:
        out.line("#0")
        block = rng.choice(("$dumpvars", "$dumpvars", "$dumpall", "$dumpon"))
        out.line(block)
        for signal in signals:
            out.line(change(rng, config, signal, unknown_codes))
        if not (extended and rng.random() < 0.3):
            out.line("$end")
    size = 0
    while size < length_goal:
        step = rng.choice((1, 1, 2, 5, 10, 1000))
        if config["decrease_at"] is not None and size >= config["decrease_at"]:
            config["decrease_at"] = None
            step = -rng.randint(1, 3)
        time = max(0, time + step) if step > 0 else time + step
        stamp = timestamp_text(rng, config, time if time >= 0 else 0)
        if config["huge_times"] and rng.random() < 0.02:
            stamp = "#" + str(rng.randint(10 ** 15, 10 ** 24))
            time = 10 ** 25
        line = [stamp]
        kind = rng.random()
        if kind < 0.05:
            out.line("$dumpoff")
            for signal in signals:
                out.line(("x" + signal.code) if signal.width == 1 else "bx " + signal.code)
            out.line("$end")
        elif kind < 0.08:
            out.line(rng.choice(("$dumpon", "$dumpall")))
            for signal in rng.sample(signals, min(len(signals), 5)):
                out.line(change(rng, config, signal, unknown_codes))
            if not (extended and rng.random() < 0.5):
                out.line("$end")
        elif kind < 0.09:
            out.line("$comment in the body $end")
        changes = [change(rng, config, signal, unknown_codes)
                   for signal in rng.sample(signals, rng.randint(0, min(len(signals), 12)))]
        if extended and rng.random() < 0.1:
            out.line(" ".join(line + changes))
        else:
            out.line(stamp)
            for text in changes:
                out.line(text)
        if config["malformed_at"] is not None and size >= config["malformed_at"]:
            config["malformed_at"] = None
            out.line(malformed(rng, config))
        size += sum(len(text) + 1 for text in [stamp] + changes)


def evcd(rng, out, config, length_goal):
    out.line("$timescale 1ns $end")
    out.line("$scope module top $end")
    ports = []
    for index in range(rng.randint(1, 8)):
        if config["extended"] and rng.random() < 0.4:
            width = rng.randint(2, 6)
            out.line("$var port [%d:0] <%d p%d $end" % (width - 1, index, index))
        else:
            width = 1
            out.line("$var port 1 <%d p%d $end" % (index, index))
        ports.append((index, width))
    out.line("$upscope $end")
    out.line("$enddefinitions $end")
    out.line("#0")
    out.line("$dumpports")
    for index, width in ports:
        out.line("p%s 6 0 <%d" % ("".join(rng.choice("DUNZ") for _ in range(width)), index))
    out.line("$end")
    time = 0
    size = 0
    while size < length_goal:
        time += rng.randint(1, 20)
        out.line("#%d" % time)
        for index, width in rng.sample(ports, rng.randint(1, len(ports))):
            text = "p%s %s %s <%d" % ("".join(rng.choice("01DUHLZTFXN?du") for _ in range(width)),
                                      "6" * width, "0" * width, index)
            out.line(text)
            size += len(text)
        if config["malformed_at"] is not None and size >= config["malformed_at"]:
            config["malformed_at"] = None
            out.line(rng.choice(("1!", "b1 <0", "$dumpportsoff", "$dumpportsall $end")))


def make_case(rng, folder, number):
    extended = rng.random() < 0.6
    config = {
        "extended": extended,
        # where in the body, by size, a timestamp goes back or a malformed line comes, if at all
        "decrease_at": None,
        "malformed_at": None,
        "huge_times": rng.random() < 0.1,
        # vector values for scalar codes: of one digit, or now and then of two (an internal error)
        "vector_on_scalar": rng.choice((None,) * 12 + ("one", "one", "wide")),
    }
    style = {
        "end": rng.choice(("\n",) * 6 + ("\r\n", "\r\n", "mixed", "\r")),
        "trailing": rng.random() < 0.2,
        "leading": rng.random() < 0.03,
        "blank": rng.random() < 0.2,
    }
    big = rng.random() < 0.15
    length_goal = rng.randint(300000, 700000) if big else rng.randint(200, 20000)
    if rng.random() < 0.12:
        config["decrease_at"] = rng.randint(0, length_goal)
    if rng.random() < 0.2:
        config["malformed_at"] = rng.randint(0, length_goal)
    names = []
    taken = set()
    sequential = rng.random() < 0.6
    first_codes = {}

    def codes(index):
        if index not in first_codes:
            first_codes[index] = base94(index) if sequential else random_code(rng, taken)
        return first_codes[index]
    if rng.random() < 0.08:
        out = Writer(rng, style)
        evcd(rng, out, config, length_goal)
        name = "case%03d.evcd" % number
        names.append(name)
        with open(os.path.join(folder, name), "w", newline="") as text:
            text.write(out.text())
    else:
        signal_count = rng.choice((1, 3, 10, 40, 200))
        unknown = ["?unknown", "~~~~", "@@@@@"]
        # A second file declares the same signals under the first file's codes shuffled, so that a code
        # declared as a vector in the first may be a scalar in the second.
        declaration_seed = rng.random()
        second_codes = {}
        for part in range(2 if rng.random() < 0.1 else 1):
            out = Writer(rng, style)
            if part == 1:
                shuffled = list(first_codes.values())
                rng.shuffle(shuffled)
                second_codes = dict(zip(first_codes.keys(), shuffled))
            signals = declare(random.Random(declaration_seed), out, config, signal_count,
                              codes if part == 0 else (lambda index: second_codes[index]))
            body(rng, out, config, signals, length_goal, unknown)
            name = "case%03d%s.vcd" % (number, "" if part == 0 else "b")
            names.append(name)
            with open(os.path.join(folder, name), "w", newline="") as text:
                text.write(out.text())
    options = []
    if not extended:
        options.append("--strict")
    window = rng.random()
    if window < 0.15:
        options += ["--start", "%dns" % rng.randint(0, 50)]
    elif window < 0.25:
        options += ["--start", "%dps" % rng.randint(0, 5000), "--end", "%dns" % rng.randint(6, 400)]
    elif window < 0.3:
        options += ["--end", "%dns" % rng.randint(1, 100)]
    glitch = rng.random()
    if glitch < 0.1:
        options.append("--filter-glitches=%dps" % rng.choice((1, 500, 2000, 100000)))
    elif glitch < 0.15:
        options.append("--filter-glitches")
    if len(names) > 1:
        options += ["--merge", rng.choice(("replace", "add", "keep"))]
    return " ".join(options + [os.path.join(folder, name) for name in names])


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("folder")
    parser.add_argument("--count", type=int, default=300)
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()
    os.makedirs(args.folder, exist_ok=True)
    rng = random.Random(args.seed)
    with open(os.path.join(args.folder, "cases.txt"), "w") as cases:
        for number in range(args.count):
            cases.write(make_case(rng, args.folder, number) + "\n")


if __name__ == "__main__":
    main()
