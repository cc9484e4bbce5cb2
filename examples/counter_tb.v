// Testbench for counter.v: 100 MHz clock, 4 reset cycles, then 296 cycles with enable low every fourth cycle; writes counter.vcd.
`timescale 1ns/1ps

module counter_tb;
    reg        clk = 1'b0;
    reg        rst = 1'b1;
    reg        en  = 1'b0;
    wire [3:0] cnt;
    wire       tc;

    counter dut (.clk(clk), .rst(rst), .en(en), .cnt(cnt), .tc(tc));

    // Period 10 ns: rising edges at 5, 15, 25, ... ns.
    always #5 clk = ~clk;

    initial begin
        $dumpfile("counter.vcd");
        $dumpvars(0, counter_tb);
        // Inputs change on falling edges, half a period away from the
        // rising edges that sample them.
        repeat (4) @(negedge clk);
        rst = 1'b0;
        // 74 rounds of enable high for three cycles, low for one.
        repeat (74) begin
            en = 1'b1;
            repeat (3) @(negedge clk);
            en = 1'b0;
            @(negedge clk);
        end
        // Ends at 3000 ns, on the falling edge that closes cycle 300.
        $finish;
    end
endmodule
