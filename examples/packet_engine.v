// A small packet engine with the constructs that real cores carry: vectors
// declared [1:N] (ascending), a generate loop of scrambler lanes, a FIFO
// memory, a state machine, counters, a CRC, and three levels of hierarchy.
//
// Words of 16 bits enter when in_valid is high; each is scrambled by four
// LFSR lanes (4 bits each), stored in a 32-word FIFO, and a controller
// moves words from the FIFO to the output in bursts of four, folding them
// into a CRC-16 that it presents at the end of each burst.

`timescale 1ns/1ps

module scrambler_lane (
    input  wire       clk,
    input  wire       rst,
    input  wire       step,
    input  wire [1:4] din,
    output wire [1:4] dout
);
    reg [1:8] lfsr;   // x^8 + x^6 + x^5 + x^4 + 1
    always @(posedge clk) begin
        if (rst)
            lfsr <= 8'b1010_1100;
        else if (step)
            lfsr <= {lfsr[2:8], lfsr[1] ^ lfsr[3] ^ lfsr[4] ^ lfsr[5]};
    end
    assign dout = din ^ lfsr[5:8];
endmodule

module word_fifo (
    input  wire        clk,
    input  wire        rst,
    input  wire        push,
    input  wire [1:16] wdata,
    input  wire        pop,
    output wire [1:16] rdata,
    output wire        empty,
    output wire        full,
    output wire [5:0]  level
);
    reg [15:0] mem [0:31];
    reg [4:0]  wr_ptr;
    reg [4:0]  rd_ptr;
    reg [5:0]  count;
    assign rdata = mem[rd_ptr];
    assign level = count;
    assign empty = count == 6'd0;
    assign full  = count == 6'd32;
    always @(posedge clk) begin
        if (push && !full)
            mem[wr_ptr] <= wdata;
    end
    always @(posedge clk) begin
        if (rst) begin
            wr_ptr <= 5'd0;
            rd_ptr <= 5'd0;
            count  <= 6'd0;
        end else begin
            if (push && !full)
                wr_ptr <= wr_ptr + 5'd1;
            if (pop && !empty)
                rd_ptr <= rd_ptr + 5'd1;
            count <= count + {5'd0, push && !full} - {5'd0, pop && !empty};
        end
    end
endmodule

module crc16_unit (
    input  wire        clk,
    input  wire        rst,
    input  wire        clear,
    input  wire        fold,
    input  wire [1:16] data,
    output reg  [1:16] crc
);
    // CRC-16/CCITT over one word per fold, most significant bit first.
    function [1:16] next_crc(input [1:16] c, input [1:16] d);
        integer i;
        reg [1:16] r;
        begin
            r = c;
            for (i = 1; i <= 16; i = i + 1)
                r = {r[2:16], 1'b0} ^ ((r[1] ^ d[i]) ? 16'h1021 : 16'h0000);
            next_crc = r;
        end
    endfunction
    always @(posedge clk) begin
        if (rst || clear)
            crc <= 16'hFFFF;
        else if (fold)
            crc <= next_crc(crc, data);
    end
endmodule

module engine_core (
    input  wire        clk,
    input  wire        rst,
    input  wire        in_valid,
    input  wire [1:16] in_data,
    output reg         out_valid,
    output reg  [1:16] out_data,
    output wire        busy
);
    wire [1:16] scrambled;
    genvar i;
    generate
        for (i = 0; i < 4; i = i + 1) begin : lane
            reg [1:4] held;   // the lane's last input nibble
            always @(posedge clk)
                if (in_valid)
                    held <= in_data[4 * i + 1:4 * i + 4];
            scrambler_lane u_lane (.clk(clk), .rst(rst), .step(in_valid), .din(in_data[4 * i + 1:4 * i + 4]),
                                   .dout(scrambled[4 * i + 1:4 * i + 4]));
        end
    endgenerate

    wire        empty, full;
    wire [5:0]  level;
    wire [1:16] fifo_word;
    wire        pop;
    word_fifo fifo (.clk(clk), .rst(rst), .push(in_valid), .wdata(scrambled), .pop(pop), .rdata(fifo_word),
                    .empty(empty), .full(full), .level(level));

    // Controller: wait for four words, send them, then the CRC.
    localparam IDLE = 2'd0, SEND = 2'd1, CRC = 2'd2, GAP = 2'd3;
    reg [1:0] state;
    assign pop = state == SEND;
    reg [1:2] sent;
    reg       clear_crc;
    wire [1:16] crc;
    crc16_unit u_crc (.clk(clk), .rst(rst), .clear(clear_crc), .fold(pop), .data(fifo_word), .crc(crc));

    always @(posedge clk) begin
        if (rst) begin
            state     <= IDLE;
            sent      <= 2'd0;
            clear_crc <= 1'b1;
            out_valid <= 1'b0;
            out_data  <= 16'd0;
        end else begin
            clear_crc <= 1'b0;
            out_valid <= 1'b0;
            case (state)
                IDLE:
                    if (level >= 6'd4) begin
                        state <= SEND;
                        sent  <= 2'd0;
                    end
                SEND: begin
                    out_valid <= 1'b1;
                    out_data  <= fifo_word;
                    sent      <= sent + 2'd1;
                    if (sent == 2'd3)
                        state <= CRC;
                end
                CRC: begin
                    out_valid <= 1'b1;
                    out_data  <= crc;
                    clear_crc <= 1'b1;
                    state     <= GAP;
                end
                default:
                    state <= IDLE;
            endcase
        end
    end
    assign busy = state != IDLE;
endmodule

module packet_engine (
    input  wire        clk,
    input  wire        rst,
    input  wire        in_valid,
    input  wire [1:16] in_data,
    output wire        out_valid,
    output wire [1:16] out_data,
    output wire        busy
);
    engine_core core (.clk(clk), .rst(rst), .in_valid(in_valid), .in_data(in_data), .out_valid(out_valid),
                      .out_data(out_data), .busy(busy));
endmodule
