#include "dom_json_printout.h"

#include <algorithm>
#include <span>
#include <string>

namespace qv::reference {

namespace {

using Json = nlohmann::ordered_json;

template <typename Enum>
std::int32_t Code(Enum value) {
  return static_cast<std::int32_t>(value);
}

// The first `count` values, `count` kept within the array.
Json Values(std::span<const double> values, int count) {
  const auto used = static_cast<std::size_t>(std::clamp(count, 0, static_cast<int>(values.size())));
  return Json(values.first(used));
}

Json Points(std::span<const Complex> points, int count) {
  Json list = Json::array();
  const auto used = static_cast<std::size_t>(std::clamp(count, 0, static_cast<int>(points.size())));
  for (const Complex& point : points.first(used)) {
    list.push_back(Json::array({point.re, point.im}));
  }
  return list;
}

Json SpecToJson(const FilterSpec& spec) {
  return Json{
      {"filterClass", Code(spec.filterClass)},
      {"bandType", Code(spec.bandType)},
      {"model", Code(spec.model)},
      {"order", spec.order},
      {"effectiveOrder", spec.effectiveOrder},
      {"rollOff", spec.rollOff},
      {"fcut1", spec.fcut1},
      {"fcut2", spec.fcut2},
      {"fsample", spec.fsample},
      {"fcenter", spec.fcenter},
      {"ripple", spec.ripple},
      {"taps", spec.taps},
      {"quantization", Code(spec.quantization)},
  };
}

Json ScaleToJson(const DisplayScale& scale) {
  return Json{
      {"points", scale.points},
      {"columnStep", scale.columnStep},
      {"timeStep", scale.timeStep},
      {"freqDivisor", scale.freqDivisor},
      {"timeUnit", std::string(scale.timeUnit)},
      {"freqUnit", std::string(scale.freqUnit)},
  };
}

}  // namespace

Json DomDesignJson(const Calculation& calculated) {
  const FilterSpec& spec = calculated.spec;
  const FilterDesign& design = calculated.design;
  const ResponseSet& responses = calculated.responses;
  const bool hasPolynomials = IsIirModel(spec.model);
  const int coefficients = hasPolynomials ? spec.effectiveOrder + 1 : 0;
  const int roots = hasPolynomials ? spec.effectiveOrder : 0;
  const int taps = spec.filterClass == FilterClass::Fir ? spec.taps : 0;

  return Json{
      {"spec", SpecToJson(spec)},
      {"scale", ScaleToJson(calculated.scale)},
      {"design",
       Json{
           {"numerator", Values(design.numerator, coefficients)},
           {"denominator", Values(design.denominator, coefficients)},
           {"firTaps", Values(design.firTaps, taps)},
           {"shift", design.shift},
       }},
      {"responses",
       Json{
           {"groupDelayUnit", std::string(responses.groupDelayUnit)},
           {"groupDelayFactor", responses.groupDelayFactor},
           {"magnitudeMinDb", responses.magnitudeMinDb},
           {"magnitudeMaxDb", responses.magnitudeMaxDb},
           {"magnitudeDb", responses.magnitudeDb},
           {"phase", responses.phase},
           {"groupDelayMin", responses.groupDelayMin},
           {"groupDelayMax", responses.groupDelayMax},
           {"groupDelay", responses.groupDelay},
           {"zeros", Points(responses.zeros, roots)},
           {"poles", Points(responses.poles, roots)},
           {"impulsePeak", responses.impulsePeak},
           {"impulse", responses.impulse},
           {"stepPeak", responses.stepPeak},
           {"step", responses.step},
       }},
  };
}

}  // namespace qv::reference
