# Board clocks of examples/two_clocks_design.json: clk_a at 100 MHz feeds the
# PLL that doubles it; clk_b runs at 125 MHz with a 25% duty cycle.
create_clock -name clk_a -period 10 [get_ports clk_a]
create_clock -name clk_b -period 8 -waveform {0 2} [get_ports clk_b]
