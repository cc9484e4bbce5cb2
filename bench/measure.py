#!/usr/bin/env python3
"""Runs a command several times; prints its best wall time in seconds and its peak RSS in KB ("-" without /usr/bin/time)."""
import argparse
import os
import sys
import tempfile
import time

GNU_TIME = "/usr/bin/time"


def run_once(command, error_path):
    """One run with its output discarded; returns (seconds, exit code)."""
    actions = [
        (os.POSIX_SPAWN_OPEN, 0, os.devnull, os.O_RDONLY, 0),
        (os.POSIX_SPAWN_OPEN, 1, os.devnull, os.O_WRONLY, 0),
        (os.POSIX_SPAWN_OPEN, 2, error_path, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o600),
    ]
    start = time.perf_counter()
    pid = os.posix_spawnp(command[0], command, os.environ, file_actions=actions)
    _, status = os.waitpid(pid, 0)
    return time.perf_counter() - start, os.waitstatus_to_exitcode(status)


def checked_run(command, error_path, shown):
    """A run that must succeed; shown is the command as the user gave it."""
    try:
        seconds, code = run_once(command, error_path)
    except OSError as error:
        sys.exit("measure.py: cannot run %s: %s" % (shown[0], error))
    if code != 0:
        with open(error_path, errors="replace") as text:
            sys.stderr.write(text.read())
        sys.exit("measure.py: %s exited with status %d" % (" ".join(shown), code))
    return seconds


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--repeat", type=int, default=3, help="timed runs (default 3); the fastest counts")
    parser.add_argument("command", nargs=argparse.REMAINDER, help="-- COMMAND [ARGUMENT...]")
    args = parser.parse_args()
    command = args.command[1:] if args.command[:1] == ["--"] else args.command
    if not command or args.repeat < 1:
        parser.error("expected --repeat >= 1 and a command")

    with tempfile.TemporaryDirectory(prefix="putil-measure.") as work:
        error_path = os.path.join(work, "stderr")
        # Peak RSS comes from GNU time in a run of its own: its fork starts
        # from a small process, whereas a child of this interpreter would
        # report the interpreter's size. That run also warms the page cache.
        rss = "-"
        if os.access(GNU_TIME, os.X_OK):
            rss_path = os.path.join(work, "rss")
            checked_run([GNU_TIME, "-f", "%M", "-o", rss_path] + command, error_path, command)
            with open(rss_path) as text:
                rss = text.read().split()[-1]
        best = min(checked_run(command, error_path, command) for _ in range(args.repeat))
    print("%.6f %s" % (best, rss))


if __name__ == "__main__":
    main()
