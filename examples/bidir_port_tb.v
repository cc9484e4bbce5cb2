// Testbench for bidir_port.v: clk at 100 MHz, one reset cycle, then 24 frames of 8 cycles (80 ns): the design
// drives the bus for 4 cycles, the testbench for the last 3, with the bus floating for half a cycle at each
// hand-over; the testbench's word counts frames. Writes bidir_port.vcd.
`timescale 1ns/1ps

module bidir_port_tb;
    reg        clk       = 1'b0;
    reg        rst       = 1'b1;
    reg        drive     = 1'b0;
    reg        tb_drives = 1'b1;
    reg  [3:0] tb_word   = 4'd0;
    wire [3:0] bus;
    wire [3:0] sample;

    assign bus = tb_drives ? tb_word : 4'bz;

    bidir_port dut (.clk(clk), .rst(rst), .drive(drive), .bus(bus), .sample(sample));

    always #5 clk = ~clk;

    initial begin
        $dumpfile("bidir_port.vcd");
        $dumpvars(0, bidir_port_tb);
        // Inputs change on falling edges of clk; a frame starts at 10 + 80 k ns.
        @(negedge clk);
        rst = 1'b0;
        repeat (24) begin
            // The design's output enable rises at the next rising edge.
            drive     = 1'b1;
            tb_drives = 1'b0;
            repeat (4) @(negedge clk);
            // ... and falls at the next one; the testbench drives half a cycle later.
            drive = 1'b0;
            @(negedge clk);
            tb_word   = tb_word + 4'd1;
            tb_drives = 1'b1;
            repeat (3) @(negedge clk);
        end
        // Ends at 1930 ns.
        $finish;
    end
endmodule
