// Testbench for packet_engine.v: a 100 MHz clock, 4 reset cycles, then words
// from a fixed pseudo-random sequence arriving on about half the cycles, for
// 4 us; writes packet_engine.vcd.
`timescale 1ns/1ps

module packet_engine_tb;
    reg         clk = 1'b0;
    reg         rst = 1'b1;
    reg         in_valid = 1'b0;
    reg  [1:16] in_data = 16'd0;
    wire        out_valid;
    wire [1:16] out_data;
    wire        busy;
    reg  [31:0] seed = 32'h1234_5678;

    packet_engine dut (.clk(clk), .rst(rst), .in_valid(in_valid), .in_data(in_data), .out_valid(out_valid),
                       .out_data(out_data), .busy(busy));

    always #5 clk = ~clk;

    // A 32-bit xorshift sequence: the same words in every simulator.
    function [31:0] xorshift(input [31:0] x);
        reg [31:0] y;
        begin
            y = x ^ (x << 13);
            y = y ^ (y >> 17);
            xorshift = y ^ (y << 5);
        end
    endfunction

    integer word;
    initial begin
        $dumpfile("packet_engine.vcd");
        $dumpvars(0, packet_engine_tb);
`ifdef DUMP_MEMORY_WORDS
        // Icarus Verilog dumps an array only word by word.
        $dumpvars(0, dut.core.fifo.mem[0], dut.core.fifo.mem[1], dut.core.fifo.mem[2], dut.core.fifo.mem[3]);
        $dumpvars(0, dut.core.fifo.mem[4], dut.core.fifo.mem[5], dut.core.fifo.mem[6], dut.core.fifo.mem[7]);
        $dumpvars(0, dut.core.fifo.mem[8], dut.core.fifo.mem[9], dut.core.fifo.mem[10], dut.core.fifo.mem[11]);
        $dumpvars(0, dut.core.fifo.mem[12], dut.core.fifo.mem[13], dut.core.fifo.mem[14], dut.core.fifo.mem[15]);
        $dumpvars(0, dut.core.fifo.mem[16], dut.core.fifo.mem[17], dut.core.fifo.mem[18], dut.core.fifo.mem[19]);
        $dumpvars(0, dut.core.fifo.mem[20], dut.core.fifo.mem[21], dut.core.fifo.mem[22], dut.core.fifo.mem[23]);
        $dumpvars(0, dut.core.fifo.mem[24], dut.core.fifo.mem[25], dut.core.fifo.mem[26], dut.core.fifo.mem[27]);
        $dumpvars(0, dut.core.fifo.mem[28], dut.core.fifo.mem[29], dut.core.fifo.mem[30], dut.core.fifo.mem[31]);
`endif
        // Inputs change on falling edges.
        repeat (4) @(negedge clk);
        rst = 1'b0;
        for (word = 0; word < 395; word = word + 1) begin
            seed = xorshift(seed);
            in_valid = seed[31] | seed[7];
            in_data = seed[23:8];
            @(negedge clk);
        end
        in_valid = 1'b0;
        @(negedge clk);
        $finish;
    end
endmodule
