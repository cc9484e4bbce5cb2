# The board clock of bidir_port.v: 100 MHz.
create_clock -name clk -period 10 [get_ports clk]
