#include "graph/verdict_text.h"

#include <cmath>

namespace qv {
namespace {

constexpr int kSectionOrder = 2;         // a second-order section takes two poles
constexpr double kPassShownDb = 0.0005;  // half the last decimal shown of pass-band values
constexpr double kStopShownDb = 0.005;   // and of stop-band values

// A margin that shows as zero reads "+0.000", never "-0.000", whichever side it lies on
// within the rounding.
double Shown(double margin, double halfStep) { return std::fabs(margin) < halfStep ? 0.0 : margin; }

// A design can miss with both margins kept, by a bump between its bands; the words say so.
GraphText VerdictWords(const FilterSpec& spec, const SchemeCheck& check) {
  if (check.meets) return MakeGraphText("Meets its tolerance scheme");
  if (check.transitionRiseDb > spec.ripple + kSchemeToleranceDb) {
    return FormatGraphText("Does not meet its tolerance scheme: %+.2f dB between the bands",
                           check.transitionRiseDb);
  }
  return MakeGraphText("Does not meet its tolerance scheme");
}

GraphText PassBandRow(const FilterSpec& spec, const SchemeCheck& check) {
  return FormatGraphText("Pass band loss %.3f dB, Rp %g dB, margin %+.3f dB", check.passLossDb,
                         spec.ripple, Shown(check.passMarginDb, kPassShownDb));
}

GraphText StopBandRow(const FilterSpec& spec, const SchemeCheck& check) {
  return FormatGraphText("Stop band attenuation %.2f dB, As %g dB, margin %+.2f dB",
                         check.stopAttenuationDb, spec.scheme.attenuation,
                         Shown(check.stopMarginDb, kStopShownDb));
}

GraphText StructureRow(const FilterSpec& spec) {
  const int sections = (spec.effectiveOrder + 1) / kSectionOrder;
  const int bits = spec.quantization == Quantization::Signed8 ? 8 : 16;
  const char* scaling = spec.sectionScaling == SectionScaling::L2 ? "L2" : "L-infinity";
  return FormatGraphText("Structure: %d second-order section%s, %d-bit, %s scaling", sections,
                         sections == 1 ? "" : "s", bits, scaling);
}

GraphText OutputRow(const CascadeBehaviour& behaviour) {
  const char* saturates = behaviour.saturated ? ", saturates" : "";
  if (behaviour.settles) {
    return FormatGraphText("Output settles to zero%s", saturates);
  }
  if (behaviour.cyclePeriod == 0) {
    return FormatGraphText("Output does not settle in %d samples%s", kSettleLimit, saturates);
  }
  return FormatGraphText("Output does not settle: period %d, amplitude %d%s",
                         static_cast<int>(behaviour.cyclePeriod),
                         static_cast<int>(behaviour.cycleAmplitude), saturates);
}

}  // namespace

VerdictText FormatVerdict(const FilterSpec& spec, const ResponseSet& responses,
                          const SchemeCheck& check) {
  VerdictText rows;
  int row = 0;
  if (check.checked) {
    rows[row++] = VerdictWords(spec, check);
    rows[row++] = PassBandRow(spec, check);
    rows[row++] = StopBandRow(spec, check);
    if (spec.scheme.minimumOrder) {
      rows[row++] =
          MakeGraphText(spec.filterClass == FilterClass::Fir ? "Fewest taps for the scheme"
                                                             : "Lowest order for the scheme");
    }
  }
  if (UsesFixedPointSections(spec)) {
    rows[row++] = StructureRow(spec);
    rows[row++] = OutputRow(responses.cascade);
  }
  return rows;
}

GraphText VerdictLine(const FilterSpec& spec, const SchemeCheck& check) {
  if (!check.checked) {
    return {};
  }
  const GraphText verdict = VerdictWords(spec, check);
  const GraphText pass = PassBandRow(spec, check);
  const GraphText stop = StopBandRow(spec, check);
  return FormatGraphText("%.*s: %.*s; %.*s", verdict.length, verdict.chars.data(), pass.length,
                         pass.chars.data(), stop.length, stop.chars.data());
}

}  // namespace qv
