// Testbench for sync_counter.v: clk_a at 100 MHz, clk_b at 80 MHz, 4 reset cycles, then enable low every fourth clk_a cycle; writes sync_counter.vcd.
`timescale 1ns/1ps

module sync_counter_tb;
    reg        clk_a = 1'b0;
    reg        clk_b = 1'b0;
    reg        rst   = 1'b1;
    reg        en    = 1'b0;
    wire [3:0] cnt;
    wire       tc_b;

    sync_counter dut (.clk_a(clk_a), .clk_b(clk_b), .rst(rst), .en(en), .cnt(cnt), .tc_b(tc_b));

    // Periods 10 ns and 12.5 ns.
    always #5 clk_a = ~clk_a;
    always #6.25 clk_b = ~clk_b;

    initial begin
        $dumpfile("sync_counter.vcd");
        $dumpvars(0, sync_counter_tb);
        // Inputs change on falling edges of clk_a.
        repeat (4) @(negedge clk_a);
        rst = 1'b0;
        repeat (49) begin
            en = 1'b1;
            repeat (3) @(negedge clk_a);
            en = 1'b0;
            @(negedge clk_a);
        end
        // Ends at 2000 ns.
        $finish;
    end
endmodule
