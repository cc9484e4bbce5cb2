// A 4-bit bidirectional port: while its registered output enable is high it
// drives the bus from a counter that steps every cycle; otherwise it samples
// the bus into a register, except in the cycle before it takes the bus over.
`timescale 1ns/1ps

module bidir_port (
    input  wire       clk,
    input  wire       rst,
    input  wire       drive,
    inout  wire [3:0] bus,
    output wire [3:0] sample
);
    reg       oe;
    reg [3:0] dout;
    reg [3:0] din;

    always @(posedge clk) begin
        if (rst) begin
            oe   <= 1'b0;
            dout <= 4'd0;
            din  <= 4'd0;
        end else begin
            oe <= drive;
            if (oe)
                dout <= dout + 4'd1;
            else if (!drive)
                din <= bus;
        end
    end

    assign bus    = oe ? dout : 4'bz;
    assign sample = din;
endmodule
