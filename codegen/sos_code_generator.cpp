#include "codegen/sos_code_generator.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <ostream>
#include <span>
#include <string_view>

#include "codegen/design_summary.h"
#include "codegen/formatted_output.h"
#include "codegen/output_codes.h"
#include "design/second_order_sections.h"

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
void WriteFloatLiteral(std::ostream& out, double value) {
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
  out.write(text.data(), static_cast<std::streamsize>(static_cast<std::size_t>(end - text.data())));
}

void WriteHeader(std::ostream& out, const FilterSpec& spec, const DisplayScale& scale,
                 const FilterDesign& design, int sections) {
  out << "/**************************************************************\n";
  WriteIdentification(out, "", "\n");
  WriteSpecSummary(out, "", spec, scale);
  out << "Coefficents Quantization: float\n";
  WriteZerosAndPoles(out, "\n", "", spec, design.denominator);
  Print(out, "\nSecond-order sections: %d\n", sections);
  out << "Each section k computes\n"
         "    y = b0 x + b1 x[-1] + b2 x[-2] - a1 y[-1] - a2 y[-2]\n"
         "and iir_sos_coeffs holds {b0, b1, b2, -a1, -a2} per section, the first\n"
         "section first. iir_sos() runs one sample through the whole cascade.\n"
         "For CMSIS-DSP, which adds the feedback terms, pass the table as it is:\n"
         "    static float32_t state[4 * IIR_SOS_STAGES];\n"
         "    static arm_biquad_casd_df1_inst_f32 cascade;\n"
         "    arm_biquad_cascade_df1_init_f32(&cascade, IIR_SOS_STAGES,\n"
         "                                    iir_sos_coeffs, state);\n"
         "    arm_biquad_cascade_df1_f32(&cascade, input, output, blockSize);\n"
         "***************************************************************/\n\n";
}

void WriteTable(std::ostream& out, const SectionCascade& cascade) {
  Print(out, "#define IIR_SOS_STAGES %d\n\n", cascade.count);
  Print(out, "static const float iir_sos_coeffs[%d * IIR_SOS_STAGES] = {\n", kSectionCoefficients);
  for (int s = 0; s < cascade.count; ++s) {
    const BiquadSection& c = cascade.sections[static_cast<std::size_t>(s)];
    // 0.0 - a rather than -a: a first-order section's a2 = 0 stays 0.0f, not -0.0f.
    const std::array<double, kSectionCoefficients> row{c.b0, c.b1, c.b2, 0.0 - c.a1, 0.0 - c.a2};
    out << "    ";
    for (std::size_t k = 0; k < row.size(); ++k) {
      if (k > 0) out << ", ";
      WriteFloatLiteral(out, row[k]);
    }
    Print(out, "%s  /* section %d */\n", s + 1 < cascade.count ? "," : "", s + 1);
  }
  out << "};\n\n";
}

void WriteFunction(std::ostream& out) {
  out << "/* Two state values per section (transposed direct form II). */\n"
         "static float iir_sos_state[2 * IIR_SOS_STAGES];\n\n"
         "float iir_sos(float x) {\n"
         "    int k;\n"
         "    for (k = 0; k < IIR_SOS_STAGES; k++) {\n";
  Print(out, "        const float* c = &iir_sos_coeffs[%d * k];\n", kSectionCoefficients);
  out << "        float* s = &iir_sos_state[2 * k];\n"
         "        const float y = c[0] * x + s[0];\n"
         "        s[0] = c[1] * x + c[3] * y + s[1];\n"
         "        s[1] = c[2] * x + c[4] * y;\n"
         "        x = y;\n"
         "    }\n"
         "    return x;\n"
         "}\n";
}

}  // namespace

OutputCode WriteSosCode(std::ostream& out, const Calculation& calculation) {
  const FilterSpec& spec = calculation.spec;
  const DisplayScale& scale = calculation.scale;
  const FilterDesign& design = calculation.design;
  if (spec.filterClass != FilterClass::Iir || spec.quantization != Quantization::Float ||
      !SummaryInputsValid(spec, scale, design.denominator) || !IsIirModel(spec.model)) {
    return OutputCode::DesignMismatch;
  }
  SectionCascade cascade;
  if (!SplitIntoSections(spec, design.numerator, design.denominator, cascade) ||
      !CascadeFitsFloat(cascade)) {
    return OutputCode::SectionsNotFound;
  }
  WriteHeader(out, spec, scale, design, cascade.count);
  WriteTable(out, cascade);
  WriteFunction(out);
  return OutputCode::Ok;
}

}  // namespace qv
