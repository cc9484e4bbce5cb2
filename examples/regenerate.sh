#!/bin/sh
# Re-creates examples/counter.vcd by simulating counter_tb.v with Icarus Verilog.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
for tool in iverilog vvp; do
  command -v "$tool" >/dev/null 2>&1 || { echo "regenerate.sh: $tool not found (Debian package: iverilog)" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
iverilog -g2005 -Wall -o "$work/sim" "$here/counter.v" "$here/counter_tb.v"
# The testbench writes counter.vcd into the working directory.
(cd "$work" && vvp -n sim)
mv "$work/counter.vcd" "$here/counter.vcd"
echo "wrote $here/counter.vcd"
