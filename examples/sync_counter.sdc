# The two board clocks of sync_counter.v: 100 MHz and 80 MHz.
create_clock -name clk_a -period 10 [get_ports clk_a]
create_clock -name clk_b -period 12.5 [get_ports clk_b]
