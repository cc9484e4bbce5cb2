// A 4-bit counter with enable in the clk_a domain whose registered terminal count crosses into the clk_b domain through a two-register synchronizer.
`timescale 1ns/1ps

module sync_counter (
    input  wire       clk_a,
    input  wire       clk_b,
    input  wire       rst,
    input  wire       en,
    output reg  [3:0] cnt,
    output wire       tc_b
);
    reg tc_q;
    reg [1:0] sync;

    always @(posedge clk_a) begin
        if (rst) begin
            cnt  <= 4'd0;
            tc_q <= 1'b0;
        end else if (en) begin
            cnt  <= cnt + 4'd1;
            tc_q <= (cnt == 4'd14);
        end
    end

    always @(posedge clk_b)
        sync <= {sync[0], tc_q};

    assign tc_b = sync[1];
endmodule
