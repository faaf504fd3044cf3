// The Verilog file: header, the component modules, and the module `fir` in the size or the speed
// architecture. Every register and every width is the VHDL file's, so that both languages give
// the same outputs on every clock; the delay line and the level sums are packed vectors, which
// every Verilog tool resets and synthesises alike.
#include "codegen/verilog_generator.h"

#include <cstdint>
#include <cstdio>

#include "codegen/design_summary.h"
#include "codegen/formatted_output.h"
#include "codegen/output_codes.h"
#include "codegen/speed_levels.h"
#include "records/word_format.h"

namespace qv {
namespace {

constexpr const char* kRule64 =
    "//--------------------------------------------------------------\n";
constexpr const char* kRule120 =
    "//----------------------------------------------------------------------------------------"
    "------------------------------\n";
constexpr int kBitsPerHexDigit = 4;
// Room for one instance's head and port lines, the longest with three-digit level numbers.
constexpr std::size_t kInstanceHeadRoom = 96;
constexpr std::size_t kInstancePortsRoom = 320;

constexpr const char* kClockReset =
    "    input  wire GLOBAL_CLK,\n"
    "    input  wire GLOBAL_RESET,\n";
constexpr const char* kRegisteredProcess =
    "always @(posedge GLOBAL_CLK or posedge GLOBAL_RESET) begin\n";

int CoefficientWidth(Quantization quantization) { return HardwareWordFormat(quantization).bits; }

// The bits an unsigned counter needs to hold 0..value.
int CounterBits(int value) {
  int bits = 1;
  while ((value >> bits) != 0) {
    ++bits;
  }
  return bits;
}

bool IsSpeed(HdlArchitecture architecture) { return architecture == HdlArchitecture::Speed; }

void WriteBanner(std::ostream& out, const char* titles) {
  out << kRule120;
  out << titles;
  out << kRule120;
  out << "\n";
}

void WriteHeader(std::ostream& out, const FilterSpec& spec, const DisplayScale& scale,
                 std::span<const double> denominator, std::string_view comment) {
  WriteHardwareHeader(out, "// ", kRule64, kRule120, spec, scale, denominator, comment);
  // One file holds fir and the modules it instantiates, under whatever name the user gives it;
  // Verilator's full lint would want one module per file, named as the file.
  out << "\n`timescale 1ns / 1ps\n\n"
         "// The filter and its component modules, in one file of any name\n"
         "/* verilator lint_off DECLFILENAME */\n\n";
}

void WriteComponents(std::ostream& out, bool speed) {
  WriteBanner(out, "//  Component multiplier\n//  signed multiplier, registered product\n");
  out << "module multiplier #(parameter WA = 8, parameter WB = 8) (\n";
  out << kClockReset;
  out << "    input  wire [WA-1:0] A,\n"
         "    input  wire [WB-1:0] B,\n"
         "    output reg  [WA+WB-1:0] Q\n"
         ");\n\n"
         "wire signed [WA+WB-1:0] prod_tmp = $signed(A) * $signed(B);\n\n";
  out << kRegisteredProcess;
  out << "    if (GLOBAL_RESET)\n"
         "        Q <= {(WA+WB){1'b0}};\n"
         "    else\n"
         "        Q <= prod_tmp;\n"
         "end\n\n"
         "endmodule\n\n";
  if (!speed) {
    return;
  }
  WriteBanner(out, "//  Component adder\n//  signed addition, one bit wider, registered\n");
  out << "module adder #(parameter WA = 8) (\n";
  out << kClockReset;
  out << "    input  wire [WA-1:0] A,\n"
         "    input  wire [WA-1:0] B,\n"
         "    output reg  [WA:0] Q\n"
         ");\n\n";
  out << kRegisteredProcess;
  out << "    if (GLOBAL_RESET)\n"
         "        Q <= {(WA+1){1'b0}};\n"
         "    else\n"
         "        Q <= {A[WA-1], A} + {B[WA-1], B};\n"
         "end\n\n"
         "endmodule\n\n";
  WriteBanner(out, "//  Component dummyAdder\n//  a simple register, sign extended\n");
  out << "module dummyAdder #(parameter WA = 8) (\n";
  out << kClockReset;
  out << "    input  wire [WA-1:0] A,\n"
         "    output reg  [WA:0] Q\n"
         ");\n\n";
  out << kRegisteredProcess;
  out << "    if (GLOBAL_RESET)\n"
         "        Q <= {(WA+1){1'b0}};\n"
         "    else\n"
         "        Q <= {A[WA-1], A};\n"
         "end\n\n"
         "endmodule\n\n";
}

void WriteFirPorts(std::ostream& out, int width, bool speed) {
  WriteBanner(out, "//  Component fir\n//  Filter Top Level\n");
  Print(out, "module fir #(parameter W = %d) (\n", width);
  out << kClockReset;
  out << "    input  wire [W-1:0] X_IN,\n";
  if (!speed) {
    out << "    output reg  NEW_SAMPLE,\n";
  }
  out << "    output reg  SATURATION_ERR,\n"
         "    output reg  [W-1:0] Y_OUT\n"
         ");\n\n";
}

// One ROM row: the low coefficient-width bits of the tap's two's complement, as the VHDL ROM.
void WriteRomRow(std::ostream& out, int coefWidth, double tap, int row, bool last) {
  const std::uint32_t mask = (std::uint32_t{1} << coefWidth) - 1;
  const auto bits = static_cast<std::uint32_t>(TruncateCoefficient(tap)) & mask;
  Print(out, "    %d'h%0*x%s // row %d\n", coefWidth, coefWidth / kBitsPerHexDigit,
        static_cast<unsigned>(bits), last ? "" : ",", row);
}

// The ROM as one packed constant, row r in bits [r*COEF_W +: COEF_W], highest row first.
// Size: row i holds h[N-1-i], row N the zero dummy; speed: row i holds h[i] for i < n_0.
void WriteRom(std::ostream& out, int coefWidth, std::span<const double> taps, bool speed,
              int rows) {
  Print(out, "localparam [%d*COEF_W-1:0] ROMDATA = {\n", rows);
  const int n = static_cast<int>(taps.size());
  for (int row = rows - 1; row >= 0; --row) {
    const bool dummy = !speed && row == n;
    const double tap = dummy ? 0.0 : taps[static_cast<std::size_t>(speed ? row : n - 1 - row)];
    WriteRomRow(out, coefWidth, tap, row, row == 0);
  }
  out << "};\n\n";
}

void WriteConstants(std::ostream& out, const FilterSpec& spec, int shift) {
  Print(out, "localparam COEF_W = %d;\n", CoefficientWidth(spec.quantization));
  Print(out, "localparam NTAP = %d;\n", static_cast<int>(spec.taps));
  Print(out, "localparam CoefScalingBitDrop_c = %d;\n", shift);
}

// Y_OUT takes the W bits above the dropped ones when every bit of Y_I from the output's sign bit
// up is equal; otherwise it saturates toward Y_I's sign and raises SATURATION_ERR.
void WriteSaturationSignals(std::ostream& out) {
  out << "localparam SAT_LOW = CoefScalingBitDrop_c + W - 1;\n"
         "wire [YW-1-SAT_LOW:0] Y_top = Y_I[YW-1:SAT_LOW];\n"
         "wire Y_fits = (&Y_top) | ~(|Y_top);\n\n";
}

void WriteIoRegisters(std::ostream& out, int counterBits, bool speed) {
  out << "// IOs registers\n";
  out << kRegisteredProcess;
  out << "    if (GLOBAL_RESET) begin\n"
         "        X_IN_reg       <= {W{1'b0}};\n";
  if (!speed) {
    out << "        NEW_SAMPLE     <= 1'b0;\n";
  }
  out << "        SATURATION_ERR <= 1'b0;\n"
         "        Y_OUT          <= {W{1'b0}};\n"
         "    end else begin\n"
         "        X_IN_reg       <= X_IN;\n";
  const char* indent = "        ";
  if (!speed) {
    Print(out, "        if (TAP_Counter == %d'd1) begin\n", counterBits);
    out << "            NEW_SAMPLE     <= 1'b1;\n";
    indent = "            ";
  }
  Print(out, "%sif (Y_fits) begin\n", indent);
  Print(out, "%s    SATURATION_ERR <= 1'b0;\n", indent);
  Print(out, "%s    Y_OUT          <= Y_I[SAT_LOW:CoefScalingBitDrop_c];\n", indent);
  Print(out, "%send else begin\n", indent);
  Print(out, "%s    SATURATION_ERR <= 1'b1;\n", indent);
  Print(out,
        "%s    Y_OUT          <= Y_I[YW-1] ? {1'b1, {(W-1){1'b0}}} : "
        "{1'b0, {(W-1){1'b1}}};\n",
        indent);
  Print(out, "%send\n", indent);
  if (!speed) {
    out << "        end else begin\n"
           "            NEW_SAMPLE     <= 1'b0;\n"
           "        end\n";
  }
  out << "    end\nend\n\n";
}

// Stage i of the delay line is DELAY[i*W +: W]; stage 0 takes the new sample (size: only on the
// counter's shift clock, otherwise the line rotates).
void WriteShiftRegisters(std::ostream& out, int counterBits, bool speed) {
  out << "// right shift registers\n";
  out << kRegisteredProcess;
  // Stage by stage: a single replication of the whole line would be thousands of bits wide.
  out << "    if (GLOBAL_RESET)\n"
         "        for (stage = 0; stage < NTAP; stage = stage + 1)\n"
         "            DELAY[stage*W +: W] <= {W{1'b0}};\n";
  if (speed) {
    out << "    else\n"
           "        DELAY <= {DELAY[(NTAP-1)*W-1:0], X_IN_reg};\n";
  } else {
    Print(out, "    else if (TAP_Counter == %d'd1)\n", counterBits);
    out << "        DELAY <= {DELAY[(NTAP-1)*W-1:0], X_IN_reg};\n"
           "    else\n"
           "        DELAY <= {DELAY[(NTAP-1)*W-1:0], DELAY[NTAP*W-1 -: W]};\n";
  }
  out << "end\n\n";
}

void WriteSizeBody(std::ostream& out, const FilterSpec& spec, std::span<const double> taps,
                   int shift, int counterBits) {
  WriteConstants(out, spec, shift);
  out << "localparam YW = W + COEF_W + NTAP - 1;\n\n"
         "reg  [NTAP*W-1:0] DELAY;\n"
         "integer stage;\n"
         "reg  [W-1:0] X_IN_reg;\n"
         "reg  [COEF_W-1:0] ROMARRAY_Mux;\n";
  Print(out, "reg  [%d:0] TAP_Counter;\n", counterBits - 1);
  out << "wire [W+COEF_W-1:0] PROD_i;\n"
         "wire [YW-1:0] PROD = {{(YW-W-COEF_W){PROD_i[W+COEF_W-1]}}, PROD_i};\n"
         "reg  [YW-1:0] Y_I;\n\n";
  WriteRom(out, CoefficientWidth(spec.quantization), taps, false, spec.taps + 1);
  WriteSaturationSignals(out);
  WriteIoRegisters(out, counterBits, false);
  out << "// TAP_Counter process\n";
  out << kRegisteredProcess;
  out << "    if (GLOBAL_RESET) begin\n"
         "        ROMARRAY_Mux <= {COEF_W{1'b0}};\n";
  Print(out, "        TAP_Counter  <= %d'd0;\n", counterBits);
  out << "    end else begin\n"
         "        ROMARRAY_Mux <= ROMDATA[TAP_Counter*COEF_W +: COEF_W];\n";
  Print(out, "        if (TAP_Counter == %d'd%d)\n", counterBits, static_cast<int>(spec.taps));
  Print(out, "            TAP_Counter <= %d'd0;\n", counterBits);
  out << "        else\n";
  Print(out, "            TAP_Counter <= TAP_Counter + %d'd1;\n", counterBits);
  out << "    end\nend\n\n";
  WriteShiftRegisters(out, counterBits, false);
  out << "// multiplier instantiation\n"
         "multiplier #(.WA(COEF_W), .WB(W)) mult_inst (\n"
         "    .GLOBAL_CLK(GLOBAL_CLK),\n"
         "    .GLOBAL_RESET(GLOBAL_RESET),\n"
         "    .A(ROMARRAY_Mux),\n"
         "    .B(DELAY[(NTAP-2)*W +: W]),\n"
         "    .Q(PROD_i)\n"
         ");\n\n"
         "// summation\n";
  out << kRegisteredProcess;
  out << "    if (GLOBAL_RESET)\n        Y_I <= {YW{1'b0}};\n";
  Print(out, "    else if (TAP_Counter == %d'd1)\n", counterBits);
  out << "        Y_I <= {YW{1'b0}};\n"
         "    else\n"
         "        Y_I <= Y_I + PROD;\n"
         "end\n\n"
         "endmodule\n";
}

// The instance ports of a registered component: clock, reset, then `ports`.
void WriteInstance(std::ostream& out, const char* indent, const char* head, const char* ports) {
  Print(out, "%s%s (\n", indent, head);
  Print(out, "%s    .GLOBAL_CLK(GLOBAL_CLK),\n", indent);
  Print(out, "%s    .GLOBAL_RESET(GLOBAL_RESET),\n", indent);
  out << ports;
  Print(out, "%s);\n", indent);
}

// Level l adds the operands of level l-1 (each YS(l-1) bits) in pairs; an odd count leaves
// one operand, which a dummyAdder delays by the same clock.
void WriteLevel(std::ostream& out, const SpeedLevels& levels, int l) {
  const bool odd = levels.sizes[static_cast<std::size_t>(l - 1)] % 2 != 0;
  char head[kInstanceHeadRoom];
  char ports[kInstancePortsRoom];
  Print(out, "// adder blocs level %d\n", l);
  Print(out, "generate\n    for (i = 0; i < nCoef%d_c - %d; i = i + 1) begin : AdderLevel%d_gen\n",
        l, odd ? 1 : 0, l);
  std::snprintf(head, sizeof head, "adder #(.WA(W + COEF_W + %d)) Ysum%d_inst", l, l);
  std::snprintf(ports, sizeof ports,
                "            .A(Ysum%d[(2*i)*(W + COEF_W + %d) +: W + COEF_W + %d]),\n"
                "            .B(Ysum%d[(2*i+1)*(W + COEF_W + %d) +: W + COEF_W + %d]),\n"
                "            .Q(Ysum%d[i*(W + COEF_W + %d) +: W + COEF_W + %d])\n",
                l - 1, l, l, l - 1, l, l, l, l + 1, l + 1);
  WriteInstance(out, "        ", head, ports);
  out << "    end\nendgenerate\n\n";
  if (!odd) {
    return;
  }
  std::snprintf(head, sizeof head, "dummyAdder #(.WA(W + COEF_W + %d)) Ysum%d_inst", l, l);
  std::snprintf(ports, sizeof ports,
                "    .A(Ysum%d[(2*(nCoef%d_c-1))*(W + COEF_W + %d) +: W + COEF_W + %d]),\n"
                "    .Q(Ysum%d[(nCoef%d_c-1)*(W + COEF_W + %d) +: W + COEF_W + %d])\n",
                l - 1, l, l, l, l, l, l + 1, l + 1);
  WriteInstance(out, "", head, ports);
  out << "\n";
}

void WriteSpeedBody(std::ostream& out, const FilterSpec& spec, std::span<const double> taps,
                    int shift) {
  const SpeedLevels levels = ComputeSpeedLevels(spec.taps);
  WriteConstants(out, spec, shift);
  for (int k = 0; k < levels.count; ++k) {
    Print(out, "localparam nCoef%d_c = %d;\n", k, levels.sizes[static_cast<std::size_t>(k)]);
  }
  Print(out, "localparam YW = W + COEF_W + %d;\n\n", levels.Last() + 2);
  out << "reg  [NTAP*W-1:0] DELAY;\n"
         "integer stage;\n"
         "reg  [W-1:0] X_IN_reg;\n"
         "wire [nCoef0_c*(W+1)-1:0] Xsum;\n";
  // Level sum k holds nCoef{k}_c operands of W + COEF_W + k + 1 bits each.
  for (int k = 0; k < levels.count; ++k) {
    Print(out, "wire [nCoef%d_c*(W + COEF_W + %d)-1:0] Ysum%d;\n", k, k + 1, k);
  }
  out << "wire [YW-1:0] Y_I;\n\ngenvar i;\n\n";
  WriteRom(out, CoefficientWidth(spec.quantization), taps, true, levels.sizes[0]);
  WriteSaturationSignals(out);
  WriteIoRegisters(out, 0, true);
  WriteShiftRegisters(out, 0, true);
  out << "// X values adder instantiation\n"
         "generate\n"
         "    for (i = 0; i < nCoef0_c - 1; i = i + 1) begin : Xadder_gen\n";
  WriteInstance(out, "        ", "adder #(.WA(W)) adder_inst",
                "            .A(DELAY[i*W +: W]),\n"
                "            .B(DELAY[(NTAP-1-i)*W +: W]),\n"
                "            .Q(Xsum[i*(W+1) +: W+1])\n");
  out << "    end\nendgenerate\n\n";
  WriteInstance(out, "", "dummyAdder #(.WA(W)) SingleXin_inst",
                "    .A(DELAY[(nCoef0_c-1)*W +: W]),\n"
                "    .Q(Xsum[(nCoef0_c-1)*(W+1) +: W+1])\n");
  out << "\n// multiplier instantiation\n"
         "generate\n"
         "    for (i = 0; i < nCoef0_c; i = i + 1) begin : CoefMult_gen\n";
  WriteInstance(out, "        ", "multiplier #(.WA(COEF_W), .WB(W+1)) mult_inst",
                "            .A(ROMDATA[i*COEF_W +: COEF_W]),\n"
                "            .B(Xsum[i*(W+1) +: W+1]),\n"
                "            .Q(Ysum0[i*(W + COEF_W + 1) +: W + COEF_W + 1])\n");
  out << "    end\nendgenerate\n\n";
  int l = 1;
  while (levels.sizes[static_cast<std::size_t>(l - 1)] > 2) {
    WriteLevel(out, levels, l);
    ++l;
  }
  char head[kInstanceHeadRoom];
  char ports[kInstancePortsRoom];
  Print(out, "// adder blocs %d level\n", l);
  std::snprintf(head, sizeof head, "adder #(.WA(W + COEF_W + %d)) Ysum%d_inst", l, l);
  std::snprintf(ports, sizeof ports,
                "    .A(Ysum%d[0 +: W + COEF_W + %d]),\n"
                "    .B(Ysum%d[W + COEF_W + %d +: W + COEF_W + %d]),\n"
                "    .Q(Y_I)\n",
                l - 1, l, l - 1, l, l);
  WriteInstance(out, "", head, ports);
  out << "\nendmodule\n";
}

void WriteFile(std::ostream& out, const FilterSpec& spec, const DisplayScale& scale,
               std::span<const double> denominator, std::span<const double> firTaps, int shift,
               bool speed, int width, std::string_view comment) {
  const auto taps = firTaps.first(static_cast<std::size_t>(spec.taps));
  WriteHeader(out, spec, scale, denominator, comment);
  WriteComponents(out, speed);
  WriteFirPorts(out, width, speed);
  if (speed) {
    WriteSpeedBody(out, spec, taps, shift);
  } else {
    WriteSizeBody(out, spec, taps, shift, CounterBits(spec.taps));
  }
}

}  // namespace

OutputCode WriteVerilogCode(std::ostream& out, const Calculation& calculation,
                            HdlArchitecture architecture, int width, std::string_view comment) {
  const FilterSpec& spec = calculation.spec;
  const std::span<const double> denominator = calculation.design.denominator;
  const std::span<const double> firTaps = calculation.design.firTaps;
  const int shift = calculation.design.shift;
  if (!SummaryInputsValid(spec, calculation.scale, denominator) ||
      !FirTapsValid(spec, firTaps, shift) || !HdlDesignWritable(spec, architecture) ||
      width < kMinHdlWidth || width > kMaxHdlWidth) {
    return OutputCode::DesignMismatch;
  }
  WriteFile(out, spec, calculation.scale, denominator, firTaps, shift, IsSpeed(architecture), width,
            comment);
  return OutputCode::Ok;
}

}  // namespace qv
