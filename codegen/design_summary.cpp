#include "codegen/design_summary.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <string>

#include "codegen/formatted_output.h"
#include "design/model_roots.h"
#include "design/stability_check.h"
#include "records/complex.h"
#include "records/identification.h"
#include "records/word_format.h"

namespace qv {
namespace {

// Bounds of a double that truncates to a 32-bit integer: exclusive on both sides.
constexpr double kInt32Above = 2147483648.0;
constexpr double kInt32Below = -2147483649.0;

int ViewLength(std::string_view text) { return static_cast<int>(text.size()); }

void WriteComplexLines(std::ostream& out, std::string_view prefix,
                       std::span<const Complex> values) {
  for (const Complex& z : values) {
    Print(out, "%.*sz = %f + j %f\n", ViewLength(prefix), prefix.data(), z.re, z.im);
  }
}

}  // namespace

void WriteIdentification(std::ostream& out, std::string_view prefix, std::string_view closing) {
  const int p = ViewLength(prefix);
  Print(out, "%.*s%.*s%.*s%.*s\n%.*s%.*s\n%.*s%.*s\n%.*s", p, prefix.data(),
        ViewLength(kProductName), kProductName.data(), ViewLength(kVersionSeparator),
        kVersionSeparator.data(), ViewLength(kVersionText), kVersionText.data(), p, prefix.data(),
        ViewLength(kWebSite), kWebSite.data(), p, prefix.data(), ViewLength(kContactEmail),
        kContactEmail.data(), ViewLength(closing), closing.data());
}

void WriteSpecSummary(std::ostream& out, std::string_view prefix, const FilterSpec& spec,
                      const DisplayScale& scale) {
  const int p = ViewLength(prefix);
  const char* pre = prefix.data();
  const std::string_view band = BandTypeName(spec.bandType);
  const std::string_view model = ModelName(spec.model);
  const int u = ViewLength(scale.freqUnit);
  const char* unit = scale.freqUnit.data();
  Print(out, "%.*sFilter type: %.*s\n", p, pre, ViewLength(band), band.data());
  Print(out, "%.*sFilter model: %.*s\n", p, pre, ViewLength(model), model.data());
  if (spec.model == FilterModel::RaisedCosine) {
    Print(out, "%.*sRoll Off Factor: %f\n", p, pre, spec.rollOff);
  } else if (IsIirModel(spec.model)) {
    Print(out, "%.*sFilter order: %d\n", p, pre, static_cast<int>(spec.order));
  }
  Print(out, "%.*sSampling Frequency: %d %.*s\n", p, pre,
        static_cast<int>(spec.fsample / scale.freqDivisor), u, unit);
  const double divisor = static_cast<double>(scale.freqDivisor);
  if (IsBandType(spec.bandType)) {
    Print(out, "%.*sFc1 and Fc2 Frequencies: %f %.*s and %f %.*s\n", p, pre, spec.fcut1 / divisor,
          u, unit, spec.fcut2 / divisor, u, unit);
  } else {
    Print(out, "%.*sCut Frequency: %f %.*s\n", p, pre, spec.fcut1 / divisor, u, unit);
  }
  if (spec.model == FilterModel::Chebyshev || spec.model == FilterModel::ChebyshevII ||
      spec.model == FilterModel::Elliptic || spec.model == FilterModel::Equiripple) {
    Print(out, "%.*sPass band Ripple: %f dB\n", p, pre, spec.ripple);
  }
  if (NeedsScheme(spec.model)) {
    Print(out, "%.*sStop band Attenuation: %f dB\n", p, pre, spec.scheme.attenuation);
  }
}

void WriteZerosAndPoles(std::ostream& out, std::string_view sectionLead, std::string_view prefix,
                        const FilterSpec& spec, std::span<const double> denominator) {
  if (!IsIirModel(spec.model)) {
    return;
  }
  const int m = spec.effectiveOrder;
  std::array<Complex, kMaxCoefficients> zeros{};
  DesignModelZeros(spec, zeros);
  // The poles the design's stability check found; should the search fail, the places stay
  // at zero.
  std::array<Complex, kMaxCoefficients> poles{};
  if (m > 0) {
    FindPoles(m, denominator.first(static_cast<std::size_t>(m) + 1), poles);
  }
  const auto count = static_cast<std::size_t>(m);
  const int lead = ViewLength(sectionLead);
  const int p = ViewLength(prefix);
  Print(out, "%.*s%.*sZ domain Zeros\n", lead, sectionLead.data(), p, prefix.data());
  WriteComplexLines(out, prefix, std::span<const Complex>(zeros).first(count));
  Print(out, "%.*s%.*sZ domain Poles\n", lead, sectionLead.data(), p, prefix.data());
  WriteComplexLines(out, prefix, std::span<const Complex>(poles).first(count));
}

void WriteHardwareHeader(std::ostream& out, std::string_view prefix, std::string_view top,
                         std::string_view bottom, const FilterSpec& spec, const DisplayScale& scale,
                         std::span<const double> denominator, std::string_view comment) {
  const std::string_view mark = prefix.substr(0, prefix.find_last_not_of(' ') + 1);
  const std::string emptyLine = std::string(mark) + "\n";
  out << top;
  WriteIdentification(out, prefix, emptyLine);
  out << prefix;
  Print(out, "FIR %d Taps\n", static_cast<int>(spec.taps));
  out << prefix;
  out << "Coefficents Quantization: " << HardwareWordFormat(spec.quantization).name << "\n";
  WriteSpecSummary(out, prefix, spec, scale);
  WriteZerosAndPoles(out, emptyLine, prefix, spec, denominator);
  out << emptyLine;
  out << comment;
  out << bottom;
}

bool SummaryInputsValid(const FilterSpec& spec, const DisplayScale& scale,
                        std::span<const double> denominator) {
  const auto band = static_cast<std::int32_t>(spec.bandType);
  const auto model = static_cast<std::int32_t>(spec.model);
  const auto cls = static_cast<std::int32_t>(spec.filterClass);
  const auto quant = static_cast<std::int32_t>(spec.quantization);
  if (band < 0 || band > 3 || model < 0 || model > kLastFilterModel || cls < 0 || cls > 1 ||
      quant < 0 || quant > 2 || scale.freqDivisor < 1) {
    return false;
  }
  if (!IsIirModel(spec.model)) {
    return true;
  }
  const int bandFactor = IsBandType(spec.bandType) ? 2 : 1;
  const int m = spec.effectiveOrder;
  return spec.order >= 0 && m >= 0 && m < kMaxCoefficients &&
         m == static_cast<std::int64_t>(bandFactor) * spec.order &&
         denominator.size() > static_cast<std::size_t>(m);
}

bool CoefficientsFitInt32(std::span<const double> values, int count) {
  if (count < 0 || values.size() < static_cast<std::size_t>(count)) {
    return false;
  }
  for (const double v : values.first(static_cast<std::size_t>(count))) {
    if (!(v > kInt32Below && v < kInt32Above)) {
      return false;
    }
  }
  return true;
}

bool FirTapsValid(const FilterSpec& spec, std::span<const double> firTaps, int shift) {
  return spec.taps <= kMaxTaps && shift >= 0 && shift <= kMaxShift &&
         CoefficientsFitInt32(firTaps, spec.taps);
}

std::int32_t TruncateCoefficient(double value) { return static_cast<std::int32_t>(value); }

}  // namespace qv
