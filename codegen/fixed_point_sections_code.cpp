#include "codegen/fixed_point_sections_code.h"

#include <array>
#include <cstdint>
#include <string_view>

#include "codegen/output_codes.h"
#include "records/filter_names.h"
#include "records/identification.h"
#include "records/word_format.h"

namespace qv {
namespace {

// The names and types of the code at one word width.
struct Dialect {
  int bits;
  std::string_view name;     // "iir_q15": the function; upper case for the macros
  std::string_view macro;    // "IIR_Q15"
  std::string_view sample;   // the sample and coefficient type
  std::string_view wide;     // the accumulator: 5 products of two words never overflow it
  std::string_view highest;  // the limits of the sample type
  std::string_view lowest;
};

constexpr Dialect kQ15{16, "iir_q15", "IIR_Q15", "int16_t", "int64_t", "INT16_MAX", "INT16_MIN"};
constexpr Dialect kQ7{8, "iir_q7", "IIR_Q7", "int8_t", "int32_t", "INT8_MAX", "INT8_MIN"};

constexpr int kTableRow = 6;  // b0, 0, b1, b2, a1, a2

void WriteHeader(std::ostream& out, const FilterSpec& spec, const DisplayScale& scale,
                 const FixedPointCascade& cascade, const Dialect& d) {
  out << "/**************************************************************\n"
      << kProductName << kVersionSeparator << kVersionText << '\n'
      << kWebSite << '\n'
      << kContactEmail << "\n\n"
      << "IIR " << ModelName(spec.model) << ' ' << BandTypeName(spec.bandType) << ", order "
      << spec.effectiveOrder << '\n'
      << "Fsample: " << spec.fsample << " Hz, Fcut: " << spec.fcut1;
  if (IsBandType(spec.bandType)) out << " .. " << spec.fcut2;
  out << " Hz (" << scale.points << " analysis points)\n"
      << "Coefficents Quantization: " << d.bits << "-bit second-order sections\n\n"
      << "Sections: " << cascade.count << ", postShift " << cascade.postShift;
  if (cascade.headroom < 1.0) {
    out << ", gain " << cascade.headroom << " of the design (full-scale headroom)";
  }
  out << "\nEach section computes, in integers,\n"
      << "    acc = b0 x + b1 x[-1] + b2 x[-2] + a1 y[-1] + a2 y[-2]  (" << d.wide << ")\n"
      << "    y   = acc >> (" << d.bits - 1 << " - postShift), saturated to " << d.sample << "\n"
      << "where the shift discards the low bits (rounds toward minus infinity) and\n"
      << "a1, a2 are the denominator's coefficients negated. " << d.name << "_coeffs holds\n"
      << "{b0, 0, b1, b2, a1, a2} per section, the first section first; " << d.name << "()\n"
      << "runs one sample through the whole cascade.\n";
  if (d.bits == kQ15.bits) {
    out << "For CMSIS-DSP, which computes the same, pass the table as it is:\n"
        << "    static q15_t state[4 * IIR_Q15_STAGES];\n"
        << "    static arm_biquad_casd_df1_inst_q15 cascade;\n"
        << "    arm_biquad_cascade_df1_init_q15(&cascade, IIR_Q15_STAGES, iir_q15_coeffs,\n"
        << "                                    state, IIR_Q15_POST_SHIFT);\n"
        << "    arm_biquad_cascade_df1_q15(&cascade, input, output, blockSize);\n";
  }
  out << "***************************************************************/\n\n";
}

void WriteTable(std::ostream& out, const FixedPointCascade& cascade, const Dialect& d) {
  out << "#include <stdint.h>\n\n"
      << "#define " << d.macro << "_STAGES " << cascade.count << '\n'
      << "#define " << d.macro << "_POST_SHIFT " << cascade.postShift << "\n\n"
      << "static const " << d.sample << ' ' << d.name << "_coeffs[" << kTableRow << " * " << d.macro
      << "_STAGES] = {\n";
  for (int s = 0; s < cascade.count; ++s) {
    const FixedPointSection& c = cascade.sections[static_cast<std::size_t>(s)];
    out << "    " << c.b0 << ", 0, " << c.b1 << ", " << c.b2 << ", " << c.a1 << ", " << c.a2
        << (s + 1 < cascade.count ? "," : "") << "  /* section " << s + 1 << " */\n";
  }
  out << "};\n\n";
}

void WriteFunction(std::ostream& out, const Dialect& d) {
  const std::string_view n = d.name;
  out << "static " << d.sample << ' ' << n << "_state[4 * " << d.macro << "_STAGES];\n\n"
      << "/* acc >> shift rounding toward minus infinity on every compiler: a negative value is\n"
      << "   shifted as its complement, so no negative number is ever shifted. */\n"
      << "static " << d.wide << ' ' << n << "_shift(" << d.wide << " acc) {\n"
      << "    const int shift = " << d.bits - 1 << " - " << d.macro << "_POST_SHIFT;\n"
      << "    return acc < 0 ? ~(~acc >> shift) : acc >> shift;\n"
      << "}\n\n"
      << d.sample << ' ' << n << '(' << d.sample << " x) {\n"
      << "    " << d.sample << " in = x;\n"
      << "    int k;\n"
      << "    for (k = 0; k < " << d.macro << "_STAGES; k++) {\n"
      << "        const " << d.sample << "* c = &" << n << "_coeffs[" << kTableRow << " * k];\n"
      << "        " << d.sample << "* s = &" << n << "_state[4 * k];\n"
      << "        const " << d.wide << " acc = (" << d.wide << ")c[0] * in + (" << d.wide
      << ")c[2] * s[0] + (" << d.wide << ")c[3] * s[1]\n"
      << "                            + (" << d.wide << ")c[4] * s[2] + (" << d.wide
      << ")c[5] * s[3];\n"
      << "        " << d.wide << " y = " << n << "_shift(acc);\n"
      << "        if (y > " << d.highest << ") y = " << d.highest << ";\n"
      << "        if (y < " << d.lowest << ") y = " << d.lowest << ";\n"
      << "        s[1] = s[0];\n"
      << "        s[0] = in;\n"
      << "        s[3] = s[2];\n"
      << "        s[2] = (" << d.sample << ")y;\n"
      << "        in = (" << d.sample << ")y;\n"
      << "    }\n"
      << "    return in;\n"
      << "}\n";
}

}  // namespace

bool FixedPointSectionsWritable(const FilterSpec& spec, const FilterDesign& design) {
  const FixedPointCascade& c = design.cascade;
  if (!UsesFixedPointSections(spec) || spec.effectiveOrder < 1 || spec.effectiveOrder > kMaxOrder ||
      c.count != (spec.effectiveOrder + 1) / 2 ||
      c.wordBits != WordFormatOf(spec.quantization).bits || c.postShift < 0 ||
      c.postShift > c.wordBits / 2) {
    return false;
  }
  const std::int32_t high = (std::int32_t{1} << (c.wordBits - 1)) - 1;
  for (int s = 0; s < c.count; ++s) {
    const FixedPointSection& x = c.sections[static_cast<std::size_t>(s)];
    for (const std::int32_t v : {x.b0, x.b1, x.b2, x.a1, x.a2}) {
      if (v > high || v < -high - 1) return false;
    }
  }
  return true;
}

OutputCode WriteFixedPointSectionsCode(std::ostream& out, const FilterSpec& spec,
                                       const DisplayScale& scale, const FilterDesign& design) {
  if (!FixedPointSectionsWritable(spec, design)) return OutputCode::DesignMismatch;
  const Dialect& d = design.cascade.wordBits == kQ7.bits ? kQ7 : kQ15;
  WriteHeader(out, spec, scale, design.cascade, d);
  WriteTable(out, design.cascade, d);
  WriteFunction(out, d);
  return OutputCode::Ok;
}

}  // namespace qv
