// Example design: 4-bit counter with enable, synchronous reset and a registered terminal-count output.
`timescale 1ns/1ps

module counter (
    input  wire       clk,
    input  wire       rst,   // synchronous, active high
    input  wire       en,    // count enable
    output reg  [3:0] cnt,
    output wire       tc     // high for one cycle after cnt wrapped from 15 to 0
);
    // Combinational: the next rising edge wraps the counter.
    wire wrap = en & (cnt == 4'd15);

    reg tc_q;

    always @(posedge clk) begin
        if (rst) begin
            cnt  <= 4'd0;
            tc_q <= 1'b0;
        end else begin
            if (en)
                cnt <= cnt + 4'd1;
            tc_q <= wrap;
        end
    end

    // The output pin follows the register.
    assign tc = tc_q;
endmodule
