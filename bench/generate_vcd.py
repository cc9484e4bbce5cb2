#!/usr/bin/env python3
"""Writes a synthetic VCD file of N signals and M timestamps, the same bytes for the same arguments."""
import argparse
import random

# Share of scalars among the declared signals; the rest are vectors.
SCALAR_SHARE = 0.8
VECTOR_WIDTHS = (2, 4, 8, 8, 16, 32)
SIGNALS_PER_MODULE = 40
# Activity classes: (share of the signals, mean changes per timestamp as a
# fraction of the class). Most nets are quiet, a few toggle often.
ACTIVITY_CLASSES = ((0.05, 0.5), (0.25, 0.1), (0.70, 0.01))
# Rare unknown and high-impedance values, as simulators write around resets
# and tri-state buses.
UNKNOWN_CHANCE = 0.002
HIGH_Z_CHANCE = 0.001


def identifier_code(index):
    """Short printable code, base 94 over '!'..'~', as VCD writers make them."""
    code = ""
    while True:
        code += chr(33 + index % 94)
        index //= 94
        if index == 0:
            return code


class Signal:
    __slots__ = ("code", "width", "value")

    def __init__(self, code, width):
        self.code = code
        self.width = width
        self.value = "x"


def declare(out, rng, signal_count):
    """Writes the header; returns the signals, the clock first."""
    out.write("$date\n\tsynthetic\n$end\n$version\n\tputil bench/generate_vcd.py\n$end\n")
    out.write("$timescale\n\t1ps\n$end\n$scope module top $end\n")
    signals = []
    clock = Signal(identifier_code(0), 1)
    signals.append(clock)
    out.write("$var wire 1 %s clk $end\n" % clock.code)
    module = -1
    for index in range(1, signal_count):
        if (index - 1) % SIGNALS_PER_MODULE == 0:
            if module >= 0:
                out.write("$upscope $end\n")
            module += 1
            out.write("$scope module u%d $end\n" % module)
        width = 1 if rng.random() < SCALAR_SHARE else rng.choice(VECTOR_WIDTHS)
        signal = Signal(identifier_code(index), width)
        signals.append(signal)
        kind = "reg" if index % 3 == 0 else "wire"
        if width == 1:
            out.write("$var %s 1 %s s%d $end\n" % (kind, signal.code, index))
        else:
            out.write("$var %s %d %s v%d [%d:0] $end\n" % (kind, width, signal.code, index, width - 1))
    if module >= 0:
        out.write("$upscope $end\n")
    out.write("$upscope $end\n$enddefinitions $end\n")
    return signals


def new_value(rng, signal):
    """A value different from the signal's present one, as writers emit changes only."""
    while True:
        roll = rng.random()
        if roll < UNKNOWN_CHANCE:
            value = "x"
        elif roll < UNKNOWN_CHANCE + HIGH_Z_CHANCE:
            value = "z"
        elif signal.width == 1:
            value = "0" if signal.value == "1" else "1"
        else:
            value = format(rng.getrandbits(signal.width), "b")
        if value != signal.value:
            return value


def change_line(signal, value):
    if signal.width == 1:
        return value + signal.code
    return "b%s %s" % (value, signal.code)


def write_changes(out, rng, signals, timestamp_count, min_bytes):
    """Writes the initial dump and the timestamps, at least timestamp_count of them and on until the file holds
    min_bytes; returns the numbers of value changes and timestamps."""
    lines = ["#0", "$dumpvars"]
    for signal in signals:
        signal.value = "0" if signal is signals[0] else new_value(rng, signal)
        lines.append(change_line(signal, signal.value))
    lines.append("$end")
    text = "\n".join(lines) + "\n"
    out.write(text)
    written = out.tell()
    changes = len(signals)

    # Split the non-clock signals into activity classes.
    others = signals[1:]
    rng.shuffle(others)
    classes = []
    start = 0
    for share, rate in ACTIVITY_CLASSES:
        end = min(len(others), start + max(1, round(share * len(others))))
        members = others[start:end]
        if members:
            classes.append((members, rate * len(members)))
        start = end

    clock = signals[0]
    time = 0
    timestamps = 1
    while timestamps < timestamp_count or written < min_bytes:
        timestamps += 1
        time += 5000 * rng.randint(1, 4)
        clock.value = "0" if clock.value == "1" else "1"
        lines = ["#%d" % time, clock.value + clock.code]
        for members, mean in classes:
            count = min(len(members), rng.randint(0, int(2 * mean + 0.5)))
            for signal in rng.sample(members, count):
                signal.value = new_value(rng, signal)
                lines.append(change_line(signal, signal.value))
        changes += len(lines) - 1
        text = "\n".join(lines) + "\n"
        written += len(text)
        out.write(text)
    return changes, timestamps


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("path", help="VCD file to write")
    parser.add_argument("--signals", type=int, required=True, help="declared signals, clock included (N)")
    parser.add_argument("--timestamps", type=int, required=True, help="timestamps, #0 included (M)")
    parser.add_argument("--seed", type=int, default=1, help="random seed (default 1)")
    parser.add_argument("--megabytes", type=int, default=0,
                        help="write timestamps past M until the file holds this many MiB (default 0)")
    args = parser.parse_args()
    if args.signals < 1 or args.timestamps < 1:
        parser.error("--signals and --timestamps must be at least 1")

    rng = random.Random(args.seed)
    with open(args.path, "w", buffering=1 << 20) as out:
        signals = declare(out, rng, args.signals)
        changes, timestamps = write_changes(out, rng, signals, args.timestamps, args.megabytes << 20)
    bits = sum(signal.width for signal in signals)
    print("%s: %d signals (%d bits), %d timestamps, %d value changes"
          % (args.path, len(signals), bits, timestamps, changes))


if __name__ == "__main__":
    main()
