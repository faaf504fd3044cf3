#include "codegen/sos_code_generator.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <span>
#include <string_view>

#include "codegen/design_summary.h"
#include "codegen/output_codes.h"
#include "design/second_order_sections.h"
#include "fileio/output_file.h"

namespace qv {
namespace {

// Coefficients per section in the table: b0, b1, b2, -a1, -a2.
constexpr int kSectionCoefficients = 5;
// The longest shortest form of a float: sign, nine digits, point, exponent, ".0" and "f".
constexpr std::size_t kFloatLiteralSize = 32;

// A double that converts to float without leaving its range.
bool FitsFloat(double value) {
  return std::isfinite(value) && std::abs(value) <= std::numeric_limits<float>::max();
}

bool CascadeFitsFloat(const SectionCascade& cascade) {
  for (int s = 0; s < cascade.count; ++s) {
    const BiquadSection& c = cascade.sections[static_cast<std::size_t>(s)];
    for (const double v : {c.b0, c.b1, c.b2, c.a1, c.a2}) {
      if (!FitsFloat(v)) return false;
    }
  }
  return true;
}

// `value` rounded to float, in the fewest digits that give the same float back, as a C float
// constant: a point or an exponent is always there, so the suffix makes it a float.
void WriteFloatLiteral(std::FILE* file, double value) {
  std::array<char, kFloatLiteralSize> text{};
  const auto result =
      std::to_chars(text.data(), text.data() + text.size() - 3, static_cast<float>(value));
  char* end = result.ptr;
  if (std::string_view(text.data(), static_cast<std::size_t>(end - text.data()))
          .find_first_of(".e") == std::string_view::npos) {
    *end++ = '.';
    *end++ = '0';
  }
  *end++ = 'f';
  std::fwrite(text.data(), 1, static_cast<std::size_t>(end - text.data()), file);
}

void WriteHeader(std::FILE* file, const FilterSpec& spec, const DisplayScale& scale,
                 const FilterDesign& design, int sections) {
  std::fputs("/**************************************************************\n", file);
  WriteIdentification(file, "", "\n");
  WriteSpecSummary(file, "", spec, scale);
  std::fputs("Coefficents Quantization: float\n", file);
  WriteZerosAndPoles(file, "\n", "", spec, design.denominator);
  std::fprintf(file, "\nSecond-order sections: %d\n", sections);
  std::fputs(
      "Each section k computes\n"
      "    y = b0 x + b1 x[-1] + b2 x[-2] - a1 y[-1] - a2 y[-2]\n"
      "and iir_sos_coeffs holds {b0, b1, b2, -a1, -a2} per section, the first\n"
      "section first. iir_sos() runs one sample through the whole cascade.\n"
      "For CMSIS-DSP, which adds the feedback terms, pass the table as it is:\n"
      "    static float32_t state[4 * IIR_SOS_STAGES];\n"
      "    static arm_biquad_casd_df1_inst_f32 cascade;\n"
      "    arm_biquad_cascade_df1_init_f32(&cascade, IIR_SOS_STAGES,\n"
      "                                    iir_sos_coeffs, state);\n"
      "    arm_biquad_cascade_df1_f32(&cascade, input, output, blockSize);\n"
      "***************************************************************/\n\n",
      file);
}

void WriteTable(std::FILE* file, const SectionCascade& cascade) {
  std::fprintf(file, "#define IIR_SOS_STAGES %d\n\n", cascade.count);
  std::fprintf(file, "static const float iir_sos_coeffs[%d * IIR_SOS_STAGES] = {\n",
               kSectionCoefficients);
  for (int s = 0; s < cascade.count; ++s) {
    const BiquadSection& c = cascade.sections[static_cast<std::size_t>(s)];
    // 0.0 - a rather than -a: a first-order section's a2 = 0 stays 0.0f, not -0.0f.
    const std::array<double, kSectionCoefficients> row{c.b0, c.b1, c.b2, 0.0 - c.a1, 0.0 - c.a2};
    std::fputs("    ", file);
    for (std::size_t k = 0; k < row.size(); ++k) {
      if (k > 0) std::fputs(", ", file);
      WriteFloatLiteral(file, row[k]);
    }
    std::fprintf(file, "%s  /* section %d */\n", s + 1 < cascade.count ? "," : "", s + 1);
  }
  std::fputs("};\n\n", file);
}

void WriteFunction(std::FILE* file) {
  std::fputs(
      "/* Two state values per section (transposed direct form II). */\n"
      "static float iir_sos_state[2 * IIR_SOS_STAGES];\n\n"
      "float iir_sos(float x) {\n"
      "    int k;\n"
      "    for (k = 0; k < IIR_SOS_STAGES; k++) {\n",
      file);
  std::fprintf(file, "        const float* c = &iir_sos_coeffs[%d * k];\n", kSectionCoefficients);
  std::fputs(
      "        float* s = &iir_sos_state[2 * k];\n"
      "        const float y = c[0] * x + s[0];\n"
      "        s[0] = c[1] * x + c[3] * y + s[1];\n"
      "        s[1] = c[2] * x + c[4] * y;\n"
      "        x = y;\n"
      "    }\n"
      "    return x;\n"
      "}\n",
      file);
}

}  // namespace

OutputCode CheckSectionsDesign(const FilterSpec& spec, bool calculated) {
  if (spec.filterClass == FilterClass::Fir) {
    return OutputCode::SectionsFirClass;
  }
  if (spec.quantization != Quantization::Float) {
    return OutputCode::SectionsQuantized;
  }
  return calculated ? OutputCode::Ok : OutputCode::NotCalculated;
}

OutputCode GenerateSosCode(const FilterSpec& spec, const DisplayScale& scale,
                           const FilterDesign& design, const std::string& path) {
  if (const OutputCode code = CheckSectionsDesign(spec, true); code != OutputCode::Ok) {
    return code;
  }
  if (!SummaryInputsValid(spec, scale, design.denominator) || !IsIirModel(spec.model)) {
    return OutputCode::DesignMismatch;
  }
  SectionCascade cascade;
  if (!SplitIntoSections(spec, design.numerator, design.denominator, cascade) ||
      !CascadeFitsFloat(cascade)) {
    return OutputCode::SectionsNotFound;
  }
  OutputFile output(path);
  if (!output.IsOpen()) {
    return OutputCode::NotCreated;
  }
  std::FILE* file = output.File();
  WriteHeader(file, spec, scale, design, cascade.count);
  WriteTable(file, cascade);
  WriteFunction(file);
  return output.Commit() ? OutputCode::Ok : OutputCode::NotClosed;
}

}  // namespace qv
