#!/bin/sh
# Re-creates examples/sync_counter.vcd (Icarus Verilog) and examples/sync_counter.json (Yosys) from sync_counter.v.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
for tool in iverilog vvp yosys; do
  command -v "$tool" >/dev/null 2>&1 || { echo "regenerate_sync_counter.sh: $tool not found (Debian packages: iverilog, yosys)" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
iverilog -g2005 -Wall -o "$work/sim" "$here/sync_counter.v" "$here/sync_counter_tb.v"
# The testbench writes sync_counter.vcd into the working directory.
(cd "$work" && vvp -n sim)
mv "$work/sync_counter.vcd" "$here/sync_counter.vcd"
# Run from the folder so that the netlist's source attributes name sync_counter.v alone.
(cd "$here" && yosys -q -p "read_verilog sync_counter.v; synth -top sync_counter -flatten; write_json $work/sync_counter.json")
mv "$work/sync_counter.json" "$here/sync_counter.json"
echo "wrote $here/sync_counter.vcd and $here/sync_counter.json"
