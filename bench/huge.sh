#!/bin/sh
# Reads a VCD file larger than 4 GiB, plain and compressed, and checks the
# activity, the line count of the progress and the hard stop against values
# known by construction (bench/huge_vcd.py). The file is sparse: it takes
# about 70 MB of disk for a few minutes. `make bench BENCH_HUGE=1` runs it.
set -eu

. "$(dirname "$0")/common.sh"
if ! command -v python3 >/dev/null 2>&1; then
  echo "bench/huge.sh: python3 is required" >&2
  exit 1
fi

tmp=${TMPDIR:-/tmp}
free_kib=$(df -Pk "$tmp" | awk 'NR == 2 { print $4 }')
if [ "$free_kib" -lt 1048576 ]; then
  echo "bench/huge.sh: less than 1 GiB free in $tmp" >&2
  exit 1
fi

work=$(mktemp -d "$tmp/putil-huge.XXXXXX")
trap 'rm -rf "$work"' EXIT
trap 'exit 130' INT TERM

echo "putil activity on a file over 4 GiB, $(date -u '+%Y-%m-%d %H:%M UTC')"
echo "machine: $(nproc) CPUs, load average $(cut -d' ' -f1-3 /proc/loadavg); putil: $putil"
python3 "$here/huge_vcd.py" "$putil" "$work"
