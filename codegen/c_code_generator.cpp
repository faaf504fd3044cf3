#include "codegen/c_code_generator.h"

#include <array>
#include <cstdint>
#include <ostream>
#include <string_view>

#include "codegen/design_summary.h"
#include "codegen/formatted_output.h"
#include "codegen/output_codes.h"
#include "records/word_format.h"

namespace qv {
namespace {

bool InputsValid(const FilterSpec& spec, const DisplayScale& scale,
                 std::span<const double> numerator, std::span<const double> denominator,
                 std::span<const double> firTaps, int shift) {
  if (!SummaryInputsValid(spec, scale, denominator)) {
    return false;
  }
  const bool quantized = IsQuantized(spec.quantization);
  if (quantized && (shift < 0 || shift > kMaxShift)) {
    return false;
  }
  if (spec.filterClass == FilterClass::Iir) {
    const int m = spec.effectiveOrder;
    const auto needed = static_cast<std::size_t>(m) + 1;
    if (m < 0 || m >= kMaxCoefficients || numerator.size() < needed ||
        denominator.size() < needed) {
      return false;
    }
    return !quantized ||
           (CoefficientsFitInt32(numerator, m + 1) && CoefficientsFitInt32(denominator, m + 1));
  }
  if (spec.taps < 1 || spec.taps > kMaxTaps ||
      firTaps.size() < static_cast<std::size_t>(spec.taps)) {
    return false;
  }
  return !quantized || CoefficientsFitInt32(firTaps, spec.taps);
}

void WriteHeader(std::ostream& out, const FilterSpec& spec, const DisplayScale& scale,
                 std::span<const double> denominator, const WordFormat& word) {
  out << "/**************************************************************\n";
  WriteIdentification(out, "", "\n");
  WriteSpecSummary(out, "", spec, scale);
  Print(out, "Coefficents Quantization: %s\n", word.name);
  WriteZerosAndPoles(out, "\n", "", spec, denominator);
  out << "***************************************************************/\n";
}

// The sized types for any compiler but Microsoft's, which has them built in; the rest of the
// file keeps the names it has always used.
void WriteSizedTypes(std::ostream& out, const WordFormat& word) {
  out << "#if !defined(_MSC_VER)\n#include <stdint.h>\n";
  const std::array<const char*, 3> names{word.cTypes.narrow, word.cTypes.wide,
                                         word.cTypes.firAccumulator};
  for (std::size_t i = 0; i < names.size(); ++i) {
    Print(out, "typedef %s %s;\n", word.cTypes.standard[i], names[i]);
  }
  out << "#endif\n\n";
}

void WriteDcGain(std::ostream& out, int shift) {
  Print(out, "#define DCgain %lld\n\n", static_cast<long long>(std::int64_t{1} << shift));
}

// Writes "    <type> <name>[<size>] = {<open>" and the `count` coefficients, one per line.
void WriteArray(std::ostream& out, const char* type, const char* nameAndSize, const char* open,
                std::span<const double> values, int count, bool quantized) {
  Print(out, "    %s %s = {%s", type, nameAndSize, open);
  for (int n = 0; n < count; ++n) {
    out << (n == 0 ? "\n        " : ",\n        ");
    const double value = values[static_cast<std::size_t>(n)];
    if (quantized) {
      Print(out, "%5d", static_cast<int>(TruncateCoefficient(value)));
    } else {
      Print(out, "%10.20f", value);
    }
  }
  out << "\n    };\n\n";
}

void WriteIir(std::ostream& out, const FilterSpec& spec, std::span<const double> numerator,
              std::span<const double> denominator, int shift, const WordFormat& word) {
  const bool quantized = IsQuantized(spec.quantization);
  const int m = spec.effectiveOrder;
  Print(out, "#define NCoef %d\n", m);
  if (quantized) {
    WriteDcGain(out, shift);
  }
  Print(out, "%s iir(%s NewSample) {\n", word.cTypes.narrow, word.cTypes.narrow);
  WriteArray(out, word.cTypes.narrow, "ACoef[NCoef+1]", "", numerator, m + 1, quantized);
  WriteArray(out, word.cTypes.narrow, "BCoef[NCoef+1]", "", denominator, m + 1, quantized);
  Print(out, "    static %s y[NCoef+1]; //output samples\n", word.cTypes.wide);
  if (quantized) {
    Print(out,
          "    //Warning!!!!!! This variable should be signed (input sample width + Coefs "
          "width + %d )-bit width to avoid saturation.\n\n",
          m);
  }
  Print(out, "    static %s x[NCoef+1]; //input samples\n", word.cTypes.narrow);
  out << "    int n;\n\n"
         "    //shift the old samples\n"
         "    for(n=NCoef; n>0; n--) {\n"
         "       x[n] = x[n-1];\n"
         "       y[n] = y[n-1];\n"
         "    }\n\n"
         "    //Calculate the new output\n"
         "    x[0] = NewSample;\n"
         "    y[0] = ACoef[0] * x[0];\n"
         "    for(n=1; n<=NCoef; n++)\n"
         "        y[0] += ACoef[n] * x[n] - BCoef[n] * y[n];\n";
  if (quantized) {
    out << "\n    y[0] /= BCoef[0];\n    \n    return y[0] / DCgain;\n";
  } else {
    out << "    \n    return y[0];\n";
  }
  out << "}\n";
}

void WriteFir(std::ostream& out, const FilterSpec& spec, std::span<const double> firTaps, int shift,
              const WordFormat& word) {
  const bool quantized = IsQuantized(spec.quantization);
  Print(out, "#define Ntap %d\n\n", static_cast<int>(spec.taps));
  if (quantized) {
    WriteDcGain(out, shift);
  }
  Print(out, "%s fir(%s NewSample) {\n", word.cTypes.narrow, word.cTypes.narrow);
  WriteArray(out, word.cTypes.narrow, "FIRCoef[Ntap]", " ", firTaps, spec.taps, quantized);
  Print(out, "    static %s x[Ntap]; //input samples\n", word.cTypes.narrow);
  Print(out, "    %s y=0;            //output sample\n", word.cTypes.firAccumulator);
  out << "    int n;\n\n"
         "    //shift the old samples\n"
         "    for(n=Ntap-1; n>0; n--)\n"
         "       x[n] = x[n-1];\n\n"
         "    //Calculate the new output\n"
         "    x[0] = NewSample;\n"
         "    for(n=0; n<Ntap; n++)\n"
         "        y += FIRCoef[n] * x[n];\n";
  out << (quantized ? "    \n    return y / DCgain;\n" : "    \n    return y;\n");
  out << "}\n";
}

}  // namespace

OutputCode WriteCCode(std::ostream& out, const Calculation& calculation) {
  const FilterSpec& spec = calculation.spec;
  const DisplayScale& scale = calculation.scale;
  const std::span<const double> numerator = calculation.design.numerator;
  const std::span<const double> denominator = calculation.design.denominator;
  const std::span<const double> firTaps = calculation.design.firTaps;
  const int shift = calculation.design.shift;
  if (!InputsValid(spec, scale, numerator, denominator, firTaps, shift)) {
    return OutputCode::DesignMismatch;
  }
  const WordFormat& word = WordFormatOf(spec.quantization);
  WriteHeader(out, spec, scale, denominator, word);
  if (IsQuantized(spec.quantization)) {
    WriteSizedTypes(out, word);
  }
  if (spec.filterClass == FilterClass::Iir) {
    WriteIir(out, spec, numerator, denominator, shift, word);
  } else {
    WriteFir(out, spec, firTaps, shift, word);
  }
  return OutputCode::Ok;
}

}  // namespace qv
