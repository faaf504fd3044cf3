//--------------------------------------------------------------
// Quorvanel version 0.8
// <web site>
// <e-mail>
//
// FIR 31 Taps
// Coefficents Quantization: 16-bit
// Filter type: Low Pass
// Filter model: Raised Cosine
// Roll Off Factor: 0.500000
// Sampling Frequency: 1000 Hz
// Cut Frequency: 100.000000 Hz
//
// Signal Resolution: 16-bit
// Coefficients Quantization: 16-bit
// 1 multiplier(s)
// 652 FFs for the filter*
// 512 FFs for the coefficients*
// 32 clks output latency
// 32000 Hz for Fclk
// 1000 Hz for Fsampling
// * May change with synthezis optimization
//----------------------------------------------------------------------------------------------------------------------

`timescale 1ns / 1ps

// The filter and its component modules, in one file of any name
/* verilator lint_off DECLFILENAME */

//----------------------------------------------------------------------------------------------------------------------
//  Component multiplier
//  signed multiplier, registered product
//----------------------------------------------------------------------------------------------------------------------

module multiplier #(parameter WA = 8, parameter WB = 8) (
    input  wire GLOBAL_CLK,
    input  wire GLOBAL_RESET,
    input  wire [WA-1:0] A,
    input  wire [WB-1:0] B,
    output reg  [WA+WB-1:0] Q
);

wire signed [WA+WB-1:0] prod_tmp = $signed(A) * $signed(B);

always @(posedge GLOBAL_CLK or posedge GLOBAL_RESET) begin
    if (GLOBAL_RESET)
        Q <= {(WA+WB){1'b0}};
    else
        Q <= prod_tmp;
end

endmodule

//----------------------------------------------------------------------------------------------------------------------
//  Component fir
//  Filter Top Level
//----------------------------------------------------------------------------------------------------------------------

module fir #(parameter W = 16) (
    input  wire GLOBAL_CLK,
    input  wire GLOBAL_RESET,
    input  wire [W-1:0] X_IN,
    output reg  NEW_SAMPLE,
    output reg  SATURATION_ERR,
    output reg  [W-1:0] Y_OUT
);

localparam COEF_W = 16;
localparam NTAP = 31;
localparam CoefScalingBitDrop_c = 17;
localparam YW = W + COEF_W + NTAP - 1;

reg  [NTAP*W-1:0] DELAY;
integer stage;
reg  [W-1:0] X_IN_reg;
reg  [COEF_W-1:0] ROMARRAY_Mux;
reg  [4:0] TAP_Counter;
wire [W+COEF_W-1:0] PROD_i;
wire [YW-1:0] PROD = {{(YW-W-COEF_W){PROD_i[W+COEF_W-1]}}, PROD_i};
reg  [YW-1:0] Y_I;

localparam [32*COEF_W-1:0] ROMDATA = {
    16'h0000, // row 31
    16'h0000, // row 30
    16'h0045, // row 29
    16'h012e, // row 28
    16'h023d, // row 27
    16'h025a, // row 26
    16'h0055, // row 25
    16'hfbd4, // row 24
    16'hf61d, // row 23
    16'hf23f, // row 22
    16'hf435, // row 21
    16'hff37, // row 20
    16'h13e5, // row 19
    16'h2f43, // row 18
    16'h4b1a, // row 17
    16'h5fed, // row 16
    16'h67a5, // row 15
    16'h5fed, // row 14
    16'h4b1a, // row 13
    16'h2f43, // row 12
    16'h13e5, // row 11
    16'hff37, // row 10
    16'hf435, // row 9
    16'hf23f, // row 8
    16'hf61d, // row 7
    16'hfbd4, // row 6
    16'h0055, // row 5
    16'h025a, // row 4
    16'h023d, // row 3
    16'h012e, // row 2
    16'h0045, // row 1
    16'h0000 // row 0
};

localparam SAT_LOW = CoefScalingBitDrop_c + W - 1;
wire [YW-1-SAT_LOW:0] Y_top = Y_I[YW-1:SAT_LOW];
wire Y_fits = (&Y_top) | ~(|Y_top);

// IOs registers
always @(posedge GLOBAL_CLK or posedge GLOBAL_RESET) begin
    if (GLOBAL_RESET) begin
        X_IN_reg       <= {W{1'b0}};
        NEW_SAMPLE     <= 1'b0;
        SATURATION_ERR <= 1'b0;
        Y_OUT          <= {W{1'b0}};
    end else begin
        X_IN_reg       <= X_IN;
        if (TAP_Counter == 5'd1) begin
            NEW_SAMPLE     <= 1'b1;
            if (Y_fits) begin
                SATURATION_ERR <= 1'b0;
                Y_OUT          <= Y_I[SAT_LOW:CoefScalingBitDrop_c];
            end else begin
                SATURATION_ERR <= 1'b1;
                Y_OUT          <= Y_I[YW-1] ? {1'b1, {(W-1){1'b0}}} : {1'b0, {(W-1){1'b1}}};
            end
        end else begin
            NEW_SAMPLE     <= 1'b0;
        end
    end
end

// TAP_Counter process
always @(posedge GLOBAL_CLK or posedge GLOBAL_RESET) begin
    if (GLOBAL_RESET) begin
        ROMARRAY_Mux <= {COEF_W{1'b0}};
        TAP_Counter  <= 5'd0;
    end else begin
        ROMARRAY_Mux <= ROMDATA[TAP_Counter*COEF_W +: COEF_W];
        if (TAP_Counter == 5'd31)
            TAP_Counter <= 5'd0;
        else
            TAP_Counter <= TAP_Counter + 5'd1;
    end
end

// right shift registers
always @(posedge GLOBAL_CLK or posedge GLOBAL_RESET) begin
    if (GLOBAL_RESET)
        for (stage = 0; stage < NTAP; stage = stage + 1)
            DELAY[stage*W +: W] <= {W{1'b0}};
    else if (TAP_Counter == 5'd1)
        DELAY <= {DELAY[(NTAP-1)*W-1:0], X_IN_reg};
    else
        DELAY <= {DELAY[(NTAP-1)*W-1:0], DELAY[NTAP*W-1 -: W]};
end

// multiplier instantiation
multiplier #(.WA(COEF_W), .WB(W)) mult_inst (
    .GLOBAL_CLK(GLOBAL_CLK),
    .GLOBAL_RESET(GLOBAL_RESET),
    .A(ROMARRAY_Mux),
    .B(DELAY[(NTAP-2)*W +: W]),
    .Q(PROD_i)
);

// summation
always @(posedge GLOBAL_CLK or posedge GLOBAL_RESET) begin
    if (GLOBAL_RESET)
        Y_I <= {YW{1'b0}};
    else if (TAP_Counter == 5'd1)
        Y_I <= {YW{1'b0}};
    else
        Y_I <= Y_I + PROD;
end

endmodule
