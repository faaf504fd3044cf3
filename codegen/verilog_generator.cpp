// The Verilog file: header, the component modules, and the module `fir` in the size or the speed
// architecture. Every register and every width is the VHDL file's, so that both languages give
// the same outputs on every clock; the delay line and the level sums are packed vectors, which
// every Verilog tool resets and synthesises alike.
#include "codegen/verilog_generator.h"

#include <cstdint>
#include <cstdio>

#include "codegen/design_summary.h"
#include "codegen/output_codes.h"
#include "codegen/speed_levels.h"
#include "fileio/output_file.h"

namespace qv {
namespace {

constexpr const char* kRule64 =
    "//--------------------------------------------------------------\n";
constexpr const char* kRule120 =
    "//----------------------------------------------------------------------------------------"
    "------------------------------\n";
constexpr int kCoefficientWidth8 = 8;
constexpr int kCoefficientWidth16 = 16;
constexpr int kBitsPerHexDigit = 4;
// Room for one instance's head and port lines, the longest with three-digit level numbers.
constexpr std::size_t kInstanceHeadRoom = 96;
constexpr std::size_t kInstancePortsRoom = 320;

constexpr const char* kClockReset =
    "    input  wire GLOBAL_CLK,\n"
    "    input  wire GLOBAL_RESET,\n";
constexpr const char* kRegisteredProcess =
    "always @(posedge GLOBAL_CLK or posedge GLOBAL_RESET) begin\n";

int CoefficientWidth(Quantization quantization) {
  return quantization == Quantization::Signed8 ? kCoefficientWidth8 : kCoefficientWidth16;
}

// The bits an unsigned counter needs to hold 0..value.
int CounterBits(int value) {
  int bits = 1;
  while ((value >> bits) != 0) {
    ++bits;
  }
  return bits;
}

bool IsSpeed(HdlArchitecture architecture) { return architecture == HdlArchitecture::Speed; }

void WriteBanner(std::FILE* file, const char* titles) {
  std::fputs(kRule120, file);
  std::fputs(titles, file);
  std::fputs(kRule120, file);
  std::fputs("\n", file);
}

void WriteHeader(std::FILE* file, const FilterSpec& spec, const DisplayScale& scale,
                 std::span<const double> denominator, std::string_view comment) {
  WriteHardwareHeader(file, "// ", kRule64, kRule120, spec, scale, denominator, comment);
  std::fputs("\n`timescale 1ns / 1ps\n\n", file);
}

void WriteComponents(std::FILE* file, bool speed) {
  WriteBanner(file, "//  Component multiplier\n//  signed multiplier, registered product\n");
  std::fputs("module multiplier #(parameter WA = 8, parameter WB = 8) (\n", file);
  std::fputs(kClockReset, file);
  std::fputs(
      "    input  wire [WA-1:0] A,\n"
      "    input  wire [WB-1:0] B,\n"
      "    output reg  [WA+WB-1:0] Q\n"
      ");\n\n"
      "wire signed [WA+WB-1:0] prod_tmp = $signed(A) * $signed(B);\n\n",
      file);
  std::fputs(kRegisteredProcess, file);
  std::fputs(
      "    if (GLOBAL_RESET)\n"
      "        Q <= {(WA+WB){1'b0}};\n"
      "    else\n"
      "        Q <= prod_tmp;\n"
      "end\n\n"
      "endmodule\n\n",
      file);
  if (!speed) {
    return;
  }
  WriteBanner(file, "//  Component adder\n//  signed addition, one bit wider, registered\n");
  std::fputs("module adder #(parameter WA = 8) (\n", file);
  std::fputs(kClockReset, file);
  std::fputs(
      "    input  wire [WA-1:0] A,\n"
      "    input  wire [WA-1:0] B,\n"
      "    output reg  [WA:0] Q\n"
      ");\n\n",
      file);
  std::fputs(kRegisteredProcess, file);
  std::fputs(
      "    if (GLOBAL_RESET)\n"
      "        Q <= {(WA+1){1'b0}};\n"
      "    else\n"
      "        Q <= {A[WA-1], A} + {B[WA-1], B};\n"
      "end\n\n"
      "endmodule\n\n",
      file);
  WriteBanner(file, "//  Component dummyAdder\n//  a simple register, sign extended\n");
  std::fputs("module dummyAdder #(parameter WA = 8) (\n", file);
  std::fputs(kClockReset, file);
  std::fputs(
      "    input  wire [WA-1:0] A,\n"
      "    output reg  [WA:0] Q\n"
      ");\n\n",
      file);
  std::fputs(kRegisteredProcess, file);
  std::fputs(
      "    if (GLOBAL_RESET)\n"
      "        Q <= {(WA+1){1'b0}};\n"
      "    else\n"
      "        Q <= {A[WA-1], A};\n"
      "end\n\n"
      "endmodule\n\n",
      file);
}

void WriteFirPorts(std::FILE* file, int width, bool speed) {
  WriteBanner(file, "//  Component fir\n//  Filter Top Level\n");
  std::fprintf(file, "module fir #(parameter W = %d) (\n", width);
  std::fputs(kClockReset, file);
  std::fputs("    input  wire [W-1:0] X_IN,\n", file);
  if (!speed) {
    std::fputs("    output reg  NEW_SAMPLE,\n", file);
  }
  std::fputs(
      "    output reg  SATURATION_ERR,\n"
      "    output reg  [W-1:0] Y_OUT\n"
      ");\n\n",
      file);
}

// One ROM row: the low coefficient-width bits of the tap's two's complement, as the VHDL ROM.
void WriteRomRow(std::FILE* file, int coefWidth, double tap, int row, bool last) {
  const std::uint32_t mask = (std::uint32_t{1} << coefWidth) - 1;
  const auto bits = static_cast<std::uint32_t>(TruncateCoefficient(tap)) & mask;
  std::fprintf(file, "    %d'h%0*x%s // row %d\n", coefWidth, coefWidth / kBitsPerHexDigit,
               static_cast<unsigned>(bits), last ? "" : ",", row);
}

// The ROM as one packed constant, row r in bits [r*COEF_W +: COEF_W], highest row first.
// Size: row i holds h[N-1-i], row N the zero dummy; speed: row i holds h[i] for i < n_0.
void WriteRom(std::FILE* file, int coefWidth, std::span<const double> taps, bool speed, int rows) {
  std::fprintf(file, "localparam [%d*COEF_W-1:0] ROMDATA = {\n", rows);
  const int n = static_cast<int>(taps.size());
  for (int row = rows - 1; row >= 0; --row) {
    const bool dummy = !speed && row == n;
    const double tap = dummy ? 0.0 : taps[static_cast<std::size_t>(speed ? row : n - 1 - row)];
    WriteRomRow(file, coefWidth, tap, row, row == 0);
  }
  std::fputs("};\n\n", file);
}

void WriteConstants(std::FILE* file, const FilterSpec& spec, int shift) {
  std::fprintf(file, "localparam COEF_W = %d;\n", CoefficientWidth(spec.quantization));
  std::fprintf(file, "localparam NTAP = %d;\n", static_cast<int>(spec.taps));
  std::fprintf(file, "localparam CoefScalingBitDrop_c = %d;\n", shift);
}

// Y_OUT takes the W bits above the dropped ones when every bit of Y_I from the output's sign bit
// up is equal; otherwise it saturates toward Y_I's sign and raises SATURATION_ERR.
void WriteSaturationSignals(std::FILE* file) {
  std::fputs(
      "localparam SAT_LOW = CoefScalingBitDrop_c + W - 1;\n"
      "wire [YW-1-SAT_LOW:0] Y_top = Y_I[YW-1:SAT_LOW];\n"
      "wire Y_fits = (&Y_top) | ~(|Y_top);\n\n",
      file);
}

void WriteIoRegisters(std::FILE* file, int counterBits, bool speed) {
  std::fputs("// IOs registers\n", file);
  std::fputs(kRegisteredProcess, file);
  std::fputs(
      "    if (GLOBAL_RESET) begin\n"
      "        X_IN_reg       <= {W{1'b0}};\n",
      file);
  if (!speed) {
    std::fputs("        NEW_SAMPLE     <= 1'b0;\n", file);
  }
  std::fputs(
      "        SATURATION_ERR <= 1'b0;\n"
      "        Y_OUT          <= {W{1'b0}};\n"
      "    end else begin\n"
      "        X_IN_reg       <= X_IN;\n",
      file);
  const char* indent = "        ";
  if (!speed) {
    std::fprintf(file, "        if (TAP_Counter == %d'd1) begin\n", counterBits);
    std::fputs("            NEW_SAMPLE     <= 1'b1;\n", file);
    indent = "            ";
  }
  std::fprintf(file, "%sif (Y_fits) begin\n", indent);
  std::fprintf(file, "%s    SATURATION_ERR <= 1'b0;\n", indent);
  std::fprintf(file, "%s    Y_OUT          <= Y_I[SAT_LOW:CoefScalingBitDrop_c];\n", indent);
  std::fprintf(file, "%send else begin\n", indent);
  std::fprintf(file, "%s    SATURATION_ERR <= 1'b1;\n", indent);
  std::fprintf(file,
               "%s    Y_OUT          <= Y_I[YW-1] ? {1'b1, {(W-1){1'b0}}} : "
               "{1'b0, {(W-1){1'b1}}};\n",
               indent);
  std::fprintf(file, "%send\n", indent);
  if (!speed) {
    std::fputs(
        "        end else begin\n"
        "            NEW_SAMPLE     <= 1'b0;\n"
        "        end\n",
        file);
  }
  std::fputs("    end\nend\n\n", file);
}

// Stage i of the delay line is DELAY[i*W +: W]; stage 0 takes the new sample (size: only on the
// counter's shift clock, otherwise the line rotates).
void WriteShiftRegisters(std::FILE* file, int counterBits, bool speed) {
  std::fputs("// right shift registers\n", file);
  std::fputs(kRegisteredProcess, file);
  // Stage by stage: a single replication of the whole line would be thousands of bits wide.
  std::fputs(
      "    if (GLOBAL_RESET)\n"
      "        for (stage = 0; stage < NTAP; stage = stage + 1)\n"
      "            DELAY[stage*W +: W] <= {W{1'b0}};\n",
      file);
  if (speed) {
    std::fputs(
        "    else\n"
        "        DELAY <= {DELAY[(NTAP-1)*W-1:0], X_IN_reg};\n",
        file);
  } else {
    std::fprintf(file, "    else if (TAP_Counter == %d'd1)\n", counterBits);
    std::fputs(
        "        DELAY <= {DELAY[(NTAP-1)*W-1:0], X_IN_reg};\n"
        "    else\n"
        "        DELAY <= {DELAY[(NTAP-1)*W-1:0], DELAY[NTAP*W-1 -: W]};\n",
        file);
  }
  std::fputs("end\n\n", file);
}

void WriteSizeBody(std::FILE* file, const FilterSpec& spec, std::span<const double> taps, int shift,
                   int counterBits) {
  WriteConstants(file, spec, shift);
  std::fputs(
      "localparam YW = W + COEF_W + NTAP - 1;\n\n"
      "reg  [NTAP*W-1:0] DELAY;\n"
      "integer stage;\n"
      "reg  [W-1:0] X_IN_reg;\n"
      "reg  [COEF_W-1:0] ROMARRAY_Mux;\n",
      file);
  std::fprintf(file, "reg  [%d:0] TAP_Counter;\n", counterBits - 1);
  std::fputs(
      "wire [W+COEF_W-1:0] PROD_i;\n"
      "wire [YW-1:0] PROD = {{(YW-W-COEF_W){PROD_i[W+COEF_W-1]}}, PROD_i};\n"
      "reg  [YW-1:0] Y_I;\n\n",
      file);
  WriteRom(file, CoefficientWidth(spec.quantization), taps, false, spec.taps + 1);
  WriteSaturationSignals(file);
  WriteIoRegisters(file, counterBits, false);
  std::fputs("// TAP_Counter process\n", file);
  std::fputs(kRegisteredProcess, file);
  std::fputs(
      "    if (GLOBAL_RESET) begin\n"
      "        ROMARRAY_Mux <= {COEF_W{1'b0}};\n",
      file);
  std::fprintf(file, "        TAP_Counter  <= %d'd0;\n", counterBits);
  std::fputs(
      "    end else begin\n"
      "        ROMARRAY_Mux <= ROMDATA[TAP_Counter*COEF_W +: COEF_W];\n",
      file);
  std::fprintf(file, "        if (TAP_Counter == %d'd%d)\n", counterBits,
               static_cast<int>(spec.taps));
  std::fprintf(file, "            TAP_Counter <= %d'd0;\n", counterBits);
  std::fputs("        else\n", file);
  std::fprintf(file, "            TAP_Counter <= TAP_Counter + %d'd1;\n", counterBits);
  std::fputs("    end\nend\n\n", file);
  WriteShiftRegisters(file, counterBits, false);
  std::fputs(
      "// multiplier instantiation\n"
      "multiplier #(.WA(COEF_W), .WB(W)) mult_inst (\n"
      "    .GLOBAL_CLK(GLOBAL_CLK),\n"
      "    .GLOBAL_RESET(GLOBAL_RESET),\n"
      "    .A(ROMARRAY_Mux),\n"
      "    .B(DELAY[(NTAP-2)*W +: W]),\n"
      "    .Q(PROD_i)\n"
      ");\n\n"
      "// summation\n",
      file);
  std::fputs(kRegisteredProcess, file);
  std::fputs("    if (GLOBAL_RESET)\n        Y_I <= {YW{1'b0}};\n", file);
  std::fprintf(file, "    else if (TAP_Counter == %d'd1)\n", counterBits);
  std::fputs(
      "        Y_I <= {YW{1'b0}};\n"
      "    else\n"
      "        Y_I <= Y_I + PROD;\n"
      "end\n\n"
      "endmodule\n",
      file);
}

// The instance ports of a registered component: clock, reset, then `ports`.
void WriteInstance(std::FILE* file, const char* indent, const char* head, const char* ports) {
  std::fprintf(file, "%s%s (\n", indent, head);
  std::fprintf(file, "%s    .GLOBAL_CLK(GLOBAL_CLK),\n", indent);
  std::fprintf(file, "%s    .GLOBAL_RESET(GLOBAL_RESET),\n", indent);
  std::fputs(ports, file);
  std::fprintf(file, "%s);\n", indent);
}

// Level l adds the operands of level l-1 (each YS(l-1) bits) in pairs; an odd count leaves
// one operand, which a dummyAdder delays by the same clock.
void WriteLevel(std::FILE* file, const SpeedLevels& levels, int l) {
  const bool odd = levels.sizes[static_cast<std::size_t>(l - 1)] % 2 != 0;
  char head[kInstanceHeadRoom];
  char ports[kInstancePortsRoom];
  std::fprintf(file, "// adder blocs level %d\n", l);
  std::fprintf(
      file, "generate\n    for (i = 0; i < nCoef%d_c - %d; i = i + 1) begin : AdderLevel%d_gen\n",
      l, odd ? 1 : 0, l);
  std::snprintf(head, sizeof head, "adder #(.WA(W + COEF_W + %d)) Ysum%d_inst", l, l);
  std::snprintf(ports, sizeof ports,
                "            .A(Ysum%d[(2*i)*(W + COEF_W + %d) +: W + COEF_W + %d]),\n"
                "            .B(Ysum%d[(2*i+1)*(W + COEF_W + %d) +: W + COEF_W + %d]),\n"
                "            .Q(Ysum%d[i*(W + COEF_W + %d) +: W + COEF_W + %d])\n",
                l - 1, l, l, l - 1, l, l, l, l + 1, l + 1);
  WriteInstance(file, "        ", head, ports);
  std::fputs("    end\nendgenerate\n\n", file);
  if (!odd) {
    return;
  }
  std::snprintf(head, sizeof head, "dummyAdder #(.WA(W + COEF_W + %d)) Ysum%d_inst", l, l);
  std::snprintf(ports, sizeof ports,
                "    .A(Ysum%d[(2*(nCoef%d_c-1))*(W + COEF_W + %d) +: W + COEF_W + %d]),\n"
                "    .Q(Ysum%d[(nCoef%d_c-1)*(W + COEF_W + %d) +: W + COEF_W + %d])\n",
                l - 1, l, l, l, l, l, l + 1, l + 1);
  WriteInstance(file, "", head, ports);
  std::fputs("\n", file);
}

void WriteSpeedBody(std::FILE* file, const FilterSpec& spec, std::span<const double> taps,
                    int shift) {
  const SpeedLevels levels = ComputeSpeedLevels(spec.taps);
  WriteConstants(file, spec, shift);
  for (int k = 0; k < levels.count; ++k) {
    std::fprintf(file, "localparam nCoef%d_c = %d;\n", k,
                 levels.sizes[static_cast<std::size_t>(k)]);
  }
  std::fprintf(file, "localparam YW = W + COEF_W + %d;\n\n", levels.Last() + 2);
  std::fputs(
      "reg  [NTAP*W-1:0] DELAY;\n"
      "integer stage;\n"
      "reg  [W-1:0] X_IN_reg;\n"
      "wire [nCoef0_c*(W+1)-1:0] Xsum;\n",
      file);
  // Level sum k holds nCoef{k}_c operands of W + COEF_W + k + 1 bits each.
  for (int k = 0; k < levels.count; ++k) {
    std::fprintf(file, "wire [nCoef%d_c*(W + COEF_W + %d)-1:0] Ysum%d;\n", k, k + 1, k);
  }
  std::fputs("wire [YW-1:0] Y_I;\n\ngenvar i;\n\n", file);
  WriteRom(file, CoefficientWidth(spec.quantization), taps, true, levels.sizes[0]);
  WriteSaturationSignals(file);
  WriteIoRegisters(file, 0, true);
  WriteShiftRegisters(file, 0, true);
  std::fputs(
      "// X values adder instantiation\n"
      "generate\n"
      "    for (i = 0; i < nCoef0_c - 1; i = i + 1) begin : Xadder_gen\n",
      file);
  WriteInstance(file, "        ", "adder #(.WA(W)) adder_inst",
                "            .A(DELAY[i*W +: W]),\n"
                "            .B(DELAY[(NTAP-1-i)*W +: W]),\n"
                "            .Q(Xsum[i*(W+1) +: W+1])\n");
  std::fputs("    end\nendgenerate\n\n", file);
  WriteInstance(file, "", "dummyAdder #(.WA(W)) SingleXin_inst",
                "    .A(DELAY[(nCoef0_c-1)*W +: W]),\n"
                "    .Q(Xsum[(nCoef0_c-1)*(W+1) +: W+1])\n");
  std::fputs(
      "\n// multiplier instantiation\n"
      "generate\n"
      "    for (i = 0; i < nCoef0_c; i = i + 1) begin : CoefMult_gen\n",
      file);
  WriteInstance(file, "        ", "multiplier #(.WA(COEF_W), .WB(W+1)) mult_inst",
                "            .A(ROMDATA[i*COEF_W +: COEF_W]),\n"
                "            .B(Xsum[i*(W+1) +: W+1]),\n"
                "            .Q(Ysum0[i*(W + COEF_W + 1) +: W + COEF_W + 1])\n");
  std::fputs("    end\nendgenerate\n\n", file);
  int l = 1;
  while (levels.sizes[static_cast<std::size_t>(l - 1)] > 2) {
    WriteLevel(file, levels, l);
    ++l;
  }
  char head[kInstanceHeadRoom];
  char ports[kInstancePortsRoom];
  std::fprintf(file, "// adder blocs %d level\n", l);
  std::snprintf(head, sizeof head, "adder #(.WA(W + COEF_W + %d)) Ysum%d_inst", l, l);
  std::snprintf(ports, sizeof ports,
                "    .A(Ysum%d[0 +: W + COEF_W + %d]),\n"
                "    .B(Ysum%d[W + COEF_W + %d +: W + COEF_W + %d]),\n"
                "    .Q(Y_I)\n",
                l - 1, l, l - 1, l, l);
  WriteInstance(file, "", head, ports);
  std::fputs("\nendmodule\n", file);
}

void WriteFile(std::FILE* file, const FilterSpec& spec, const DisplayScale& scale,
               std::span<const double> denominator, std::span<const double> firTaps, int shift,
               bool speed, int width, std::string_view comment) {
  const auto taps = firTaps.first(static_cast<std::size_t>(spec.taps));
  WriteHeader(file, spec, scale, denominator, comment);
  WriteComponents(file, speed);
  WriteFirPorts(file, width, speed);
  if (speed) {
    WriteSpeedBody(file, spec, taps, shift);
  } else {
    WriteSizeBody(file, spec, taps, shift, CounterBits(spec.taps));
  }
}

}  // namespace

OutputCode GenerateVerilogCode(const FilterSpec& spec, const DisplayScale& scale,
                               std::span<const double> denominator, std::span<const double> firTaps,
                               int shift, HdlArchitecture architecture, int width,
                               std::string_view comment, const std::string& path) {
  const bool speed = IsSpeed(architecture);
  if (!speed && architecture != HdlArchitecture::Size) {
    return OutputCode::BadArchitecture;
  }
  if (const OutputCode code = CheckHdlDesign(spec, true); code != OutputCode::Ok) {
    return code;
  }
  if (const OutputCode code = CheckHdlArchitecture(spec, architecture); code != OutputCode::Ok) {
    return code;
  }
  if (!SummaryInputsValid(spec, scale, denominator) || !FirTapsValid(spec, firTaps, shift)) {
    return OutputCode::DesignMismatch;
  }
  if (width < kMinHdlWidth || width > kMaxHdlWidth) {
    return OutputCode::ResolutionRange;
  }
  OutputFile output(path);
  if (!output.IsOpen()) {
    return OutputCode::NotCreated;
  }
  WriteFile(output.File(), spec, scale, denominator, firTaps, shift, speed, width, comment);
  return output.Commit() ? OutputCode::Ok : OutputCode::NotClosed;
}

}  // namespace qv
