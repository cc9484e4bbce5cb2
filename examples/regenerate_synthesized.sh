#!/bin/sh
# Re-creates every synthesized example from its Verilog: NAME.vcd (Icarus Verilog, testbench NAME_tb.v) and
# NAME.json (Yosys), for sync_counter, bidir_port and packet_engine; packet_engine is also simulated by Verilator
# into packet_engine_verilator.vcd.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
for tool in iverilog vvp yosys verilator; do
  command -v "$tool" >/dev/null 2>&1 || {
    echo "regenerate_synthesized.sh: $tool not found (Debian packages: iverilog, yosys, verilator)" >&2
    exit 1
  }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# simulate NAME [IVERILOG OPTIONS]: NAME.vcd from Icarus Verilog.
simulate() {
  name=$1
  shift
  iverilog -g2005 -Wall "$@" -o "$work/$name" "$here/$name.v" "$here/${name}_tb.v"
  # The testbench writes NAME.vcd into the working directory.
  (cd "$work" && vvp -n "$name" >/dev/null)
  mv "$work/$name.vcd" "$here/$name.vcd"
}

# synthesize NAME: NAME.json from Yosys, the documented flow.
synthesize() {
  name=$1
  # tribuf turns the 'z' assignments into tristate buffers, which synth then keeps (without it, synth drops them
  # and drives a bidirectional port straight from its data). -nofsm keeps state registers as the source declares
  # them (a recoded state machine matches no simulation). Run from the folder so that the netlist's source
  # attributes name NAME.v alone.
  (cd "$here" && yosys -q -w "limited support for tri-state logic" \
    -p "read_verilog $name.v; tribuf; synth -top $name -flatten -nofsm; write_json $work/$name.json")
  mv "$work/$name.json" "$here/$name.json"
}

# simulate_verilator NAME: NAME_verilator.vcd from Verilator, which dumps arrays by itself.
simulate_verilator() {
  name=$1
  verilator --binary --timing --trace -Wno-fatal -Wno-lint -Wno-style --Mdir "$work/obj_$name" \
    --top-module "${name}_tb" -o "$name" "$here/$name.v" "$here/${name}_tb.v" >/dev/null
  (cd "$work" && "$work/obj_$name/$name" >/dev/null)
  mv "$work/$name.vcd" "$here/${name}_verilator.vcd"
}

for name in sync_counter bidir_port; do
  simulate "$name"
  synthesize "$name"
  echo "wrote $here/$name.vcd and $here/$name.json"
done
# Icarus Verilog dumps the FIFO's memory words only when each is named.
simulate packet_engine -DDUMP_MEMORY_WORDS
synthesize packet_engine
simulate_verilator packet_engine
echo "wrote $here/packet_engine.vcd, $here/packet_engine_verilator.vcd and $here/packet_engine.json"
