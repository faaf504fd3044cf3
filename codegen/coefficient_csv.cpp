#include "codegen/coefficient_csv.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <span>

#include "codegen/output_codes.h"
#include "fileio/output_file.h"

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

void WriteValue(std::FILE* file, double value) {
  std::array<char, kDoubleTextSize> text{};
  const auto result = std::to_chars(text.data(), text.data() + text.size(), value);
  std::fputc(',', file);
  std::fwrite(text.data(), 1, static_cast<std::size_t>(result.ptr - text.data()), file);
}

}  // namespace

OutputCode GenerateCoefficientCsv(const FilterSpec& spec, const FilterDesign& design,
                                  const std::string& path) {
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
  OutputFile output(path);
  if (!output.IsOpen()) {
    return OutputCode::NotCreated;
  }
  std::FILE* file = output.File();
  std::fputs(iir ? "index,numerator,denominator\n" : "index,tap\n", file);
  for (std::size_t k = 0; k < count; ++k) {
    std::fprintf(file, "%d", static_cast<int>(k));
    WriteValue(file, first[k]);
    if (iir) {
      WriteValue(file, second[k]);
    }
    std::fputc('\n', file);
  }
  return output.Commit() ? OutputCode::Ok : OutputCode::NotClosed;
}

}  // namespace qv
