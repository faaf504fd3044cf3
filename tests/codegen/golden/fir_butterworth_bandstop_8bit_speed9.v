//--------------------------------------------------------------
// Quorvanel version 0.8
// <web site>
// <e-mail>
//
// FIR 9 Taps
// Coefficents Quantization: 8-bit
// Filter type: Band Stop
// Filter model: Butterworth
// Filter order: 2
// Sampling Frequency: 1000 Hz
// Fc1 and Fc2 Frequencies: 100.000000 Hz and 300.000000 Hz
//
// Z domain Zeros
// z = 0.381966 + j 0.924176
// z = 0.381966 + j 0.924176
// z = 0.381966 + j -0.924176
// z = 0.381966 + j -0.924176
//
// Z domain Poles
// z = -0.129722 + j -0.592732
// z = -0.129722 + j 0.592732
// z = 0.582262 + j -0.439146
// z = 0.582262 + j 0.439146
//
// Signal Resolution: 12-bit
// Coefficients Quantization: 8-bit
// 5 multiplier(s)
// 421 FFs for the filter*
// 40 FFs for the coefficients*
// 7 clks output latency
// 1000 Hz for Fclk
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
//  Component adder
//  signed addition, one bit wider, registered
//----------------------------------------------------------------------------------------------------------------------

module adder #(parameter WA = 8) (
    input  wire GLOBAL_CLK,
    input  wire GLOBAL_RESET,
    input  wire [WA-1:0] A,
    input  wire [WA-1:0] B,
    output reg  [WA:0] Q
);

always @(posedge GLOBAL_CLK or posedge GLOBAL_RESET) begin
    if (GLOBAL_RESET)
        Q <= {(WA+1){1'b0}};
    else
        Q <= {A[WA-1], A} + {B[WA-1], B};
end

endmodule

//----------------------------------------------------------------------------------------------------------------------
//  Component dummyAdder
//  a simple register, sign extended
//----------------------------------------------------------------------------------------------------------------------

module dummyAdder #(parameter WA = 8) (
    input  wire GLOBAL_CLK,
    input  wire GLOBAL_RESET,
    input  wire [WA-1:0] A,
    output reg  [WA:0] Q
);

always @(posedge GLOBAL_CLK or posedge GLOBAL_RESET) begin
    if (GLOBAL_RESET)
        Q <= {(WA+1){1'b0}};
    else
        Q <= {A[WA-1], A};
end

endmodule

//----------------------------------------------------------------------------------------------------------------------
//  Component fir
//  Filter Top Level
//----------------------------------------------------------------------------------------------------------------------

module fir #(parameter W = 12) (
    input  wire GLOBAL_CLK,
    input  wire GLOBAL_RESET,
    input  wire [W-1:0] X_IN,
    output reg  SATURATION_ERR,
    output reg  [W-1:0] Y_OUT
);

localparam COEF_W = 8;
localparam NTAP = 9;
localparam CoefScalingBitDrop_c = 7;
localparam nCoef0_c = 5;
localparam nCoef1_c = 3;
localparam nCoef2_c = 2;
localparam YW = W + COEF_W + 4;

reg  [NTAP*W-1:0] DELAY;
integer stage;
reg  [W-1:0] X_IN_reg;
wire [nCoef0_c*(W+1)-1:0] Xsum;
wire [nCoef0_c*(W + COEF_W + 1)-1:0] Ysum0;
wire [nCoef1_c*(W + COEF_W + 2)-1:0] Ysum1;
wire [nCoef2_c*(W + COEF_W + 3)-1:0] Ysum2;
wire [YW-1:0] Y_I;

genvar i;

localparam [5*COEF_W-1:0] ROMDATA = {
    8'h4b, // row 4
    8'hf6, // row 3
    8'h16, // row 2
    8'h10, // row 1
    8'hff // row 0
};

localparam SAT_LOW = CoefScalingBitDrop_c + W - 1;
wire [YW-1-SAT_LOW:0] Y_top = Y_I[YW-1:SAT_LOW];
wire Y_fits = (&Y_top) | ~(|Y_top);

// IOs registers
always @(posedge GLOBAL_CLK or posedge GLOBAL_RESET) begin
    if (GLOBAL_RESET) begin
        X_IN_reg       <= {W{1'b0}};
        SATURATION_ERR <= 1'b0;
        Y_OUT          <= {W{1'b0}};
    end else begin
        X_IN_reg       <= X_IN;
        if (Y_fits) begin
            SATURATION_ERR <= 1'b0;
            Y_OUT          <= Y_I[SAT_LOW:CoefScalingBitDrop_c];
        end else begin
            SATURATION_ERR <= 1'b1;
            Y_OUT          <= Y_I[YW-1] ? {1'b1, {(W-1){1'b0}}} : {1'b0, {(W-1){1'b1}}};
        end
    end
end

// right shift registers
always @(posedge GLOBAL_CLK or posedge GLOBAL_RESET) begin
    if (GLOBAL_RESET)
        for (stage = 0; stage < NTAP; stage = stage + 1)
            DELAY[stage*W +: W] <= {W{1'b0}};
    else
        DELAY <= {DELAY[(NTAP-1)*W-1:0], X_IN_reg};
end

// X values adder instantiation
generate
    for (i = 0; i < nCoef0_c - 1; i = i + 1) begin : Xadder_gen
        adder #(.WA(W)) adder_inst (
            .GLOBAL_CLK(GLOBAL_CLK),
            .GLOBAL_RESET(GLOBAL_RESET),
            .A(DELAY[i*W +: W]),
            .B(DELAY[(NTAP-1-i)*W +: W]),
            .Q(Xsum[i*(W+1) +: W+1])
        );
    end
endgenerate

dummyAdder #(.WA(W)) SingleXin_inst (
    .GLOBAL_CLK(GLOBAL_CLK),
    .GLOBAL_RESET(GLOBAL_RESET),
    .A(DELAY[(nCoef0_c-1)*W +: W]),
    .Q(Xsum[(nCoef0_c-1)*(W+1) +: W+1])
);

// multiplier instantiation
generate
    for (i = 0; i < nCoef0_c; i = i + 1) begin : CoefMult_gen
        multiplier #(.WA(COEF_W), .WB(W+1)) mult_inst (
            .GLOBAL_CLK(GLOBAL_CLK),
            .GLOBAL_RESET(GLOBAL_RESET),
            .A(ROMDATA[i*COEF_W +: COEF_W]),
            .B(Xsum[i*(W+1) +: W+1]),
            .Q(Ysum0[i*(W + COEF_W + 1) +: W + COEF_W + 1])
        );
    end
endgenerate

// adder blocs level 1
generate
    for (i = 0; i < nCoef1_c - 1; i = i + 1) begin : AdderLevel1_gen
        adder #(.WA(W + COEF_W + 1)) Ysum1_inst (
            .GLOBAL_CLK(GLOBAL_CLK),
            .GLOBAL_RESET(GLOBAL_RESET),
            .A(Ysum0[(2*i)*(W + COEF_W + 1) +: W + COEF_W + 1]),
            .B(Ysum0[(2*i+1)*(W + COEF_W + 1) +: W + COEF_W + 1]),
            .Q(Ysum1[i*(W + COEF_W + 2) +: W + COEF_W + 2])
        );
    end
endgenerate

dummyAdder #(.WA(W + COEF_W + 1)) Ysum1_inst (
    .GLOBAL_CLK(GLOBAL_CLK),
    .GLOBAL_RESET(GLOBAL_RESET),
    .A(Ysum0[(2*(nCoef1_c-1))*(W + COEF_W + 1) +: W + COEF_W + 1]),
    .Q(Ysum1[(nCoef1_c-1)*(W + COEF_W + 2) +: W + COEF_W + 2])
);

// adder blocs level 2
generate
    for (i = 0; i < nCoef2_c - 1; i = i + 1) begin : AdderLevel2_gen
        adder #(.WA(W + COEF_W + 2)) Ysum2_inst (
            .GLOBAL_CLK(GLOBAL_CLK),
            .GLOBAL_RESET(GLOBAL_RESET),
            .A(Ysum1[(2*i)*(W + COEF_W + 2) +: W + COEF_W + 2]),
            .B(Ysum1[(2*i+1)*(W + COEF_W + 2) +: W + COEF_W + 2]),
            .Q(Ysum2[i*(W + COEF_W + 3) +: W + COEF_W + 3])
        );
    end
endgenerate

dummyAdder #(.WA(W + COEF_W + 2)) Ysum2_inst (
    .GLOBAL_CLK(GLOBAL_CLK),
    .GLOBAL_RESET(GLOBAL_RESET),
    .A(Ysum1[(2*(nCoef2_c-1))*(W + COEF_W + 2) +: W + COEF_W + 2]),
    .Q(Ysum2[(nCoef2_c-1)*(W + COEF_W + 3) +: W + COEF_W + 3])
);

// adder blocs 3 level
adder #(.WA(W + COEF_W + 3)) Ysum3_inst (
    .GLOBAL_CLK(GLOBAL_CLK),
    .GLOBAL_RESET(GLOBAL_RESET),
    .A(Ysum2[0 +: W + COEF_W + 3]),
    .B(Ysum2[W + COEF_W + 3 +: W + COEF_W + 3]),
    .Q(Y_I)
);

endmodule
