#include "codegen/fpga_coefficient_files.h"

#include <cstdint>
#include <cstdio>
#include <span>
#include <string_view>

#include "codegen/design_summary.h"
#include "codegen/output_codes.h"
#include "fileio/output_file.h"

namespace qv {
namespace {

int WordBits(Quantization quantization) { return quantization == Quantization::Signed8 ? 8 : 16; }

std::span<const double> Taps(const FilterSpec& spec, const FilterDesign& design) {
  return std::span<const double>(design.firTaps).first(static_cast<std::size_t>(spec.taps));
}

// The quantisation lets the largest tap reach +2^(bits-1) when it is a power of two, one more
// than the signed word holds; a core would read it as the most negative value.
bool TapsFitWord(const FilterSpec& spec, const FilterDesign& design) {
  const auto half = std::int32_t{1} << (WordBits(spec.quantization) - 1);
  for (const double h : Taps(spec, design)) {
    const std::int32_t tap = TruncateCoefficient(h);
    if (tap < -half || tap >= half) return false;
  }
  return true;
}

OutputCode CheckInputs(const FilterSpec& spec, const DisplayScale& scale,
                       const FilterDesign& design) {
  if (const OutputCode code = CheckFpgaTapsDesign(spec, true); code != OutputCode::Ok) {
    return code;
  }
  if (!SummaryInputsValid(spec, scale, design.denominator) || spec.taps < 1 ||
      spec.taps > kMaxTaps || design.shift < 0 || design.shift > kMaxShift ||
      !CoefficientsFitInt32(design.firTaps, spec.taps)) {
    return OutputCode::DesignMismatch;
  }
  return TapsFitWord(spec, design) ? OutputCode::Ok : OutputCode::TapOutsideWord;
}

void WriteComment(std::FILE* file, std::string_view prefix, const FilterSpec& spec,
                  const DisplayScale& scale, const FilterDesign& design) {
  const int p = static_cast<int>(prefix.size());
  WriteIdentification(file, prefix, "");
  WriteSpecSummary(file, prefix, spec, scale);
  std::fprintf(file, "%.*s%d taps, %d-bit\n", p, prefix.data(), static_cast<int>(spec.taps),
               WordBits(spec.quantization));
  std::fprintf(file, "%.*sScaling: 2^%d = %lld (the taps are the true coefficients times this)\n",
               p, prefix.data(), static_cast<int>(design.shift),
               static_cast<long long>(std::int64_t{1} << design.shift));
}

// Opens `path`, writes the body and commits; `body` gets the open file.
template <typename Body>
OutputCode WriteFile(const std::string& path, Body body) {
  OutputFile output(path);
  if (!output.IsOpen()) {
    return OutputCode::NotCreated;
  }
  body(output.File());
  return output.Commit() ? OutputCode::Ok : OutputCode::NotClosed;
}

}  // namespace

OutputCode CheckFpgaTapsDesign(const FilterSpec& spec, bool calculated) {
  if (spec.filterClass == FilterClass::Iir) {
    return OutputCode::TapsIirClass;
  }
  if (spec.quantization == Quantization::Float) {
    return OutputCode::TapsFloatQuantization;
  }
  return calculated ? OutputCode::Ok : OutputCode::NotCalculated;
}

OutputCode GenerateCoeFile(const FilterSpec& spec, const DisplayScale& scale,
                           const FilterDesign& design, const std::string& path) {
  if (const OutputCode code = CheckInputs(spec, scale, design); code != OutputCode::Ok) {
    return code;
  }
  return WriteFile(path, [&](std::FILE* file) {
    WriteComment(file, "; ", spec, scale, design);
    std::fputs("radix=10;\ncoefdata=\n", file);
    const std::span<const double> taps = Taps(spec, design);
    for (std::size_t n = 0; n < taps.size(); ++n) {
      std::fprintf(file, "%d%c\n", static_cast<int>(TruncateCoefficient(taps[n])),
                   n + 1 == taps.size() ? ';' : ',');
    }
  });
}

OutputCode GenerateMifFile(const FilterSpec& spec, const DisplayScale& scale,
                           const FilterDesign& design, const std::string& path) {
  if (const OutputCode code = CheckInputs(spec, scale, design); code != OutputCode::Ok) {
    return code;
  }
  return WriteFile(path, [&](std::FILE* file) {
    WriteComment(file, "-- ", spec, scale, design);
    std::fprintf(file, "WIDTH=%d;\nDEPTH=%d;\n", WordBits(spec.quantization),
                 static_cast<int>(spec.taps));
    std::fputs("ADDRESS_RADIX=UNS;\nDATA_RADIX=DEC;\nCONTENT BEGIN\n", file);
    const std::span<const double> taps = Taps(spec, design);
    for (std::size_t n = 0; n < taps.size(); ++n) {
      std::fprintf(file, "    %d : %d;\n", static_cast<int>(n),
                   static_cast<int>(TruncateCoefficient(taps[n])));
    }
    std::fputs("END;\n", file);
  });
}

}  // namespace qv
