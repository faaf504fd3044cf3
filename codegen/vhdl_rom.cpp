// The coefficient ROM rows of both architectures.
#include <cstdint>
#include <cstdio>

#include "codegen/design_summary.h"
#include "codegen/formatted_output.h"
#include "codegen/vhdl_sections.h"
#include "records/word_format.h"

namespace qv {
namespace {

constexpr int kHexDigits32 = 8;

int HexDigits(Quantization quantization) { return HardwareWordFormat(quantization).hexDigits; }

// A non-negative value is written in full (at least the coefficient width's digits, more when
// it does not fit); a negative one as the low digits of its 32-bit two's complement.
void WriteRomRow(std::ostream& out, int index, std::int32_t value, int digits) {
  const auto bits = static_cast<std::uint32_t>(value);
  if (value >= 0) {
    Print(out, "ROMDATA(%d) <= x\"%.*x\";\n", index, digits, static_cast<unsigned>(bits));
    return;
  }
  char text[kHexDigits32 + 1];
  std::snprintf(text, sizeof text, "%.8x", static_cast<unsigned>(bits));
  Print(out, "ROMDATA(%d) <= x\"%s\";\n", index, text + (kHexDigits32 - digits));
}

}  // namespace

void WriteSizeRomRows(std::ostream& out, Quantization quantization, std::span<const double> taps) {
  const int digits = HexDigits(quantization);
  const int n = static_cast<int>(taps.size());
  for (int i = 0; i < n; ++i) {
    WriteRomRow(out, i, TruncateCoefficient(taps[static_cast<std::size_t>(n - 1 - i)]), digits);
  }
  Print(out, "ROMDATA(%d) <= x\"%0*d\"; --dummy\n", n, digits, 0);
}

void WriteSpeedRomRows(std::ostream& out, Quantization quantization, std::span<const double> taps,
                       int rows) {
  const int digits = HexDigits(quantization);
  for (int i = 0; i < rows; ++i) {
    WriteRomRow(out, i, TruncateCoefficient(taps[static_cast<std::size_t>(i)]), digits);
  }
}

}  // namespace qv
