#include "codegen/coefficient_csv.h"

#include <array>
#include <charconv>
#include <cmath>
#include <ostream>
#include <span>

#include "codegen/formatted_output.h"
#include "codegen/output_codes.h"

namespace qv {
namespace {

// The longest shortest form of a double: "-2.2250738585072014e-308" and a margin.
constexpr std::size_t kDoubleTextSize = 32;

bool AllFinite(std::span<const double> values) {
  for (const double v : values) {
    if (!std::isfinite(v)) return false;
  }
  return true;
}

void WriteValue(std::ostream& out, double value) {
  std::array<char, kDoubleTextSize> text{};
  const auto result = std::to_chars(text.data(), text.data() + text.size(), value);
  out << ',';
  out.write(text.data(),
            static_cast<std::streamsize>(static_cast<std::size_t>(result.ptr - text.data())));
}

}  // namespace

OutputCode WriteCoefficientCsv(std::ostream& out, const Calculation& calculation) {
  const FilterSpec& spec = calculation.spec;
  const FilterDesign& design = calculation.design;
  const bool iir = spec.filterClass == FilterClass::Iir;
  const int rows = iir ? spec.effectiveOrder + 1 : spec.taps;
  const int capacity = iir ? kMaxCoefficients : kMaxTaps;
  if (rows < 1 || rows > capacity) {
    return OutputCode::DesignMismatch;
  }
  const auto count = static_cast<std::size_t>(rows);
  const std::span<const double> first =
      iir ? std::span<const double>(design.numerator) : std::span<const double>(design.firTaps);
  const std::span<const double> second = std::span<const double>(design.denominator);
  if (!AllFinite(first.first(count)) || (iir && !AllFinite(second.first(count)))) {
    return OutputCode::DesignMismatch;
  }
  out << (iir ? "index,numerator,denominator\n" : "index,tap\n");
  for (std::size_t k = 0; k < count; ++k) {
    Print(out, "%d", static_cast<int>(k));
    WriteValue(out, first[k]);
    if (iir) {
      WriteValue(out, second[k]);
    }
    out << '\n';
  }
  return OutputCode::Ok;
}

}  // namespace qv
