#include "codegen/c_code_generator.h"

#include <cstdint>
#include <cstdio>
#include <string_view>

#include "codegen/design_summary.h"
#include "codegen/output_codes.h"
#include "fileio/output_file.h"

namespace qv {
namespace {

// The C types of one quantisation: coefficients and input samples, IIR output samples, and the
// FIR accumulator. The FIR sum of N products needs about log2(N) bits more than one product, so
// its accumulator is one size wider than the IIR output type, which the saturation warning of
// the IIR function covers instead.
struct CTypes {
  const char* headerWord;
  const char* narrow;
  const char* wide;
  const char* firAccumulator;
};

CTypes TypesFor(Quantization quantization) {
  switch (quantization) {
    case Quantization::Signed8:
      return {"8-bit\n", "__int8", "__int16", "__int32"};
    case Quantization::Signed16:
      return {"16-bit\n", "__int16", "__int32", "__int64"};
    case Quantization::Float:
      break;
  }
  return {"float\n", "float", "float", "float"};
}

bool IsQuantized(Quantization quantization) { return quantization != Quantization::Float; }

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

void WriteHeader(std::FILE* file, const FilterSpec& spec, const DisplayScale& scale,
                 std::span<const double> denominator, const CTypes& types) {
  std::fputs("/**************************************************************\n", file);
  WriteIdentification(file, "", "\n");
  WriteSpecSummary(file, "", spec, scale);
  std::fprintf(file, "Coefficents Quantization: %s", types.headerWord);
  WriteZerosAndPoles(file, "\n", "", spec, denominator);
  std::fputs("***************************************************************/\n", file);
}

void WriteDcGain(std::FILE* file, int shift) {
  std::fprintf(file, "#define DCgain %lld\n\n", static_cast<long long>(std::int64_t{1} << shift));
}

// Writes "    <type> <name>[<size>] = {<open>" and the `count` coefficients, one per line.
void WriteArray(std::FILE* file, const char* type, const char* nameAndSize, const char* open,
                std::span<const double> values, int count, bool quantized) {
  std::fprintf(file, "    %s %s = {%s", type, nameAndSize, open);
  for (int n = 0; n < count; ++n) {
    std::fputs(n == 0 ? "\n        " : ",\n        ", file);
    const double value = values[static_cast<std::size_t>(n)];
    if (quantized) {
      std::fprintf(file, "%5d", static_cast<int>(TruncateCoefficient(value)));
    } else {
      std::fprintf(file, "%10.20f", value);
    }
  }
  std::fputs("\n    };\n\n", file);
}

void WriteIir(std::FILE* file, const FilterSpec& spec, std::span<const double> numerator,
              std::span<const double> denominator, int shift, const CTypes& types) {
  const bool quantized = IsQuantized(spec.quantization);
  const int m = spec.effectiveOrder;
  std::fprintf(file, "#define NCoef %d\n", m);
  if (quantized) {
    WriteDcGain(file, shift);
  }
  std::fprintf(file, "%s iir(%s NewSample) {\n", types.narrow, types.narrow);
  WriteArray(file, types.narrow, "ACoef[NCoef+1]", "", numerator, m + 1, quantized);
  WriteArray(file, types.narrow, "BCoef[NCoef+1]", "", denominator, m + 1, quantized);
  std::fprintf(file, "    static %s y[NCoef+1]; //output samples\n", types.wide);
  if (quantized) {
    std::fprintf(file,
                 "    //Warning!!!!!! This variable should be signed (input sample width + Coefs "
                 "width + %d )-bit width to avoid saturation.\n\n",
                 m);
  }
  std::fprintf(file, "    static %s x[NCoef+1]; //input samples\n", types.narrow);
  std::fputs(
      "    int n;\n\n"
      "    //shift the old samples\n"
      "    for(n=NCoef; n>0; n--) {\n"
      "       x[n] = x[n-1];\n"
      "       y[n] = y[n-1];\n"
      "    }\n\n"
      "    //Calculate the new output\n"
      "    x[0] = NewSample;\n"
      "    y[0] = ACoef[0] * x[0];\n"
      "    for(n=1; n<=NCoef; n++)\n"
      "        y[0] += ACoef[n] * x[n] - BCoef[n] * y[n];\n",
      file);
  if (quantized) {
    std::fputs("\n    y[0] /= BCoef[0];\n    \n    return y[0] / DCgain;\n", file);
  } else {
    std::fputs("    \n    return y[0];\n", file);
  }
  std::fputs("}\n", file);
}

void WriteFir(std::FILE* file, const FilterSpec& spec, std::span<const double> firTaps, int shift,
              const CTypes& types) {
  const bool quantized = IsQuantized(spec.quantization);
  std::fprintf(file, "#define Ntap %d\n\n", static_cast<int>(spec.taps));
  if (quantized) {
    WriteDcGain(file, shift);
  }
  std::fprintf(file, "%s fir(%s NewSample) {\n", types.narrow, types.narrow);
  WriteArray(file, types.narrow, "FIRCoef[Ntap]", " ", firTaps, spec.taps, quantized);
  std::fprintf(file, "    static %s x[Ntap]; //input samples\n", types.narrow);
  std::fprintf(file, "    %s y=0;            //output sample\n", types.firAccumulator);
  std::fputs(
      "    int n;\n\n"
      "    //shift the old samples\n"
      "    for(n=Ntap-1; n>0; n--)\n"
      "       x[n] = x[n-1];\n\n"
      "    //Calculate the new output\n"
      "    x[0] = NewSample;\n"
      "    for(n=0; n<Ntap; n++)\n"
      "        y += FIRCoef[n] * x[n];\n",
      file);
  std::fputs(quantized ? "    \n    return y / DCgain;\n" : "    \n    return y;\n", file);
  std::fputs("}\n", file);
}

}  // namespace

OutputCode GenerateCCode(const FilterSpec& spec, const DisplayScale& scale,
                         std::span<const double> numerator, std::span<const double> denominator,
                         std::span<const double> firTaps, int shift, const std::string& path) {
  if (!InputsValid(spec, scale, numerator, denominator, firTaps, shift)) {
    return OutputCode::DesignMismatch;
  }
  OutputFile output(path);
  if (!output.IsOpen()) {
    return OutputCode::NotCreated;
  }
  std::FILE* file = output.File();
  const CTypes types = TypesFor(spec.quantization);
  WriteHeader(file, spec, scale, denominator, types);
  if (spec.filterClass == FilterClass::Iir) {
    WriteIir(file, spec, numerator, denominator, shift, types);
  } else {
    WriteFir(file, spec, firTaps, shift, types);
  }
  return output.Commit() ? OutputCode::Ok : OutputCode::NotClosed;
}

}  // namespace qv
