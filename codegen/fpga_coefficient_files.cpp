#include "codegen/fpga_coefficient_files.h"

#include <cstdint>
#include <ostream>
#include <span>
#include <string_view>

#include "codegen/design_summary.h"
#include "codegen/formatted_output.h"
#include "codegen/output_codes.h"
#include "records/word_format.h"

namespace qv {
namespace {

int WordBits(Quantization quantization) { return HardwareWordFormat(quantization).bits; }

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
  if (spec.filterClass != FilterClass::Fir || spec.quantization == Quantization::Float ||
      !SummaryInputsValid(spec, scale, design.denominator) || spec.taps < 1 ||
      spec.taps > kMaxTaps || design.shift < 0 || design.shift > kMaxShift ||
      !CoefficientsFitInt32(design.firTaps, spec.taps)) {
    return OutputCode::DesignMismatch;
  }
  return TapsFitWord(spec, design) ? OutputCode::Ok : OutputCode::TapOutsideWord;
}

void WriteComment(std::ostream& out, std::string_view prefix, const FilterSpec& spec,
                  const DisplayScale& scale, const FilterDesign& design) {
  const int p = static_cast<int>(prefix.size());
  WriteIdentification(out, prefix, "");
  WriteSpecSummary(out, prefix, spec, scale);
  Print(out, "%.*s%d taps, %d-bit\n", p, prefix.data(), static_cast<int>(spec.taps),
        WordBits(spec.quantization));
  Print(out, "%.*sScaling: 2^%d = %lld (the taps are the true coefficients times this)\n", p,
        prefix.data(), static_cast<int>(design.shift),
        static_cast<long long>(std::int64_t{1} << design.shift));
}

}  // namespace

OutputCode WriteCoeFile(std::ostream& out, const Calculation& calculation) {
  const FilterSpec& spec = calculation.spec;
  const DisplayScale& scale = calculation.scale;
  const FilterDesign& design = calculation.design;
  if (const OutputCode code = CheckInputs(spec, scale, design); code != OutputCode::Ok) {
    return code;
  }
  WriteComment(out, "; ", spec, scale, design);
  out << "radix=10;\ncoefdata=\n";
  const std::span<const double> taps = Taps(spec, design);
  for (std::size_t n = 0; n < taps.size(); ++n) {
    Print(out, "%d%c\n", static_cast<int>(TruncateCoefficient(taps[n])),
          n + 1 == taps.size() ? ';' : ',');
  }
  return OutputCode::Ok;
}

OutputCode WriteMifFile(std::ostream& out, const Calculation& calculation) {
  const FilterSpec& spec = calculation.spec;
  const DisplayScale& scale = calculation.scale;
  const FilterDesign& design = calculation.design;
  if (const OutputCode code = CheckInputs(spec, scale, design); code != OutputCode::Ok) {
    return code;
  }
  WriteComment(out, "-- ", spec, scale, design);
  Print(out, "WIDTH=%d;\nDEPTH=%d;\n", WordBits(spec.quantization), static_cast<int>(spec.taps));
  out << "ADDRESS_RADIX=UNS;\nDATA_RADIX=DEC;\nCONTENT BEGIN\n";
  const std::span<const double> taps = Taps(spec, design);
  for (std::size_t n = 0; n < taps.size(); ++n) {
    Print(out, "    %d : %d;\n", static_cast<int>(n),
          static_cast<int>(TruncateCoefficient(taps[n])));
  }
  out << "END;\n";
  return OutputCode::Ok;
}

}  // namespace qv
