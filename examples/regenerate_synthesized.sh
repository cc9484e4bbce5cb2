#!/bin/sh
# Re-creates every synthesized example from its Verilog: NAME.vcd (Icarus Verilog, testbench NAME_tb.v) and
# NAME.json (Yosys), for sync_counter and bidir_port.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
for tool in iverilog vvp yosys; do
  command -v "$tool" >/dev/null 2>&1 || { echo "regenerate_synthesized.sh: $tool not found (Debian packages: iverilog, yosys)" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

regenerate() {
  name=$1
  iverilog -g2005 -Wall -o "$work/$name" "$here/$name.v" "$here/${name}_tb.v"
  # The testbench writes NAME.vcd into the working directory.
  (cd "$work" && vvp -n "$name" >/dev/null)
  mv "$work/$name.vcd" "$here/$name.vcd"
  # tribuf turns the 'z' assignments into tristate buffers, which synth then keeps (without it, synth drops them
  # and drives a bidirectional port straight from its data). Run from the folder so that the netlist's source
  # attributes name NAME.v alone.
  (cd "$here" && yosys -q -w "limited support for tri-state logic" \
    -p "read_verilog $name.v; tribuf; synth -top $name -flatten; write_json $work/$name.json")
  mv "$work/$name.json" "$here/$name.json"
  echo "wrote $here/$name.vcd and $here/$name.json"
}

regenerate sync_counter
regenerate bidir_port
