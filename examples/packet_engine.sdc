# Constraints of packet_engine.v as a board design carries them: the 100 MHz
# clock, and I/O delays and exceptions that the activity job skips.
create_clock -name clk -period 10 [get_ports clk]
set_input_delay -clock clk -max 2.5 [get_ports {in_valid in_data[*]}]
set_input_delay -clock clk -min 0.5 [get_ports {in_valid in_data[*]}]
set_output_delay -clock clk 3 [get_ports {out_valid out_data[*] busy}]
set_false_path -from [get_ports rst]
