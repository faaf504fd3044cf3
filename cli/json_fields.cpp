#include "cli/json_fields.h"

#include <array>

namespace qv::cli {

namespace {

// A name and the run of items it selects, both ends included.
struct FieldName {
  std::string_view name;
  JsonItem first;
  JsonItem last;
};

constexpr std::array<FieldName, 24> kFieldNames{{
    {"spec", JsonItem::Spec, JsonItem::Spec},
    {"scale", JsonItem::Scale, JsonItem::Scale},
    {"design", JsonItem::Numerator, JsonItem::Shift},
    {"numerator", JsonItem::Numerator, JsonItem::Numerator},
    {"denominator", JsonItem::Denominator, JsonItem::Denominator},
    {"firTaps", JsonItem::FirTaps, JsonItem::FirTaps},
    {"shift", JsonItem::Shift, JsonItem::Shift},
    {"responses", JsonItem::GroupDelayUnit, JsonItem::Step},
    {"groupDelayUnit", JsonItem::GroupDelayUnit, JsonItem::GroupDelayUnit},
    {"groupDelayFactor", JsonItem::GroupDelayFactor, JsonItem::GroupDelayFactor},
    {"magnitudeMinDb", JsonItem::MagnitudeMinDb, JsonItem::MagnitudeMinDb},
    {"magnitudeMaxDb", JsonItem::MagnitudeMaxDb, JsonItem::MagnitudeMaxDb},
    {"magnitudeDb", JsonItem::MagnitudeDb, JsonItem::MagnitudeDb},
    {"phase", JsonItem::Phase, JsonItem::Phase},
    {"groupDelayMin", JsonItem::GroupDelayMin, JsonItem::GroupDelayMin},
    {"groupDelayMax", JsonItem::GroupDelayMax, JsonItem::GroupDelayMax},
    {"groupDelay", JsonItem::GroupDelay, JsonItem::GroupDelay},
    {"zeros", JsonItem::Zeros, JsonItem::Zeros},
    {"poles", JsonItem::Poles, JsonItem::Poles},
    {"impulsePeak", JsonItem::ImpulsePeak, JsonItem::ImpulsePeak},
    {"impulse", JsonItem::Impulse, JsonItem::Impulse},
    {"stepPeak", JsonItem::StepPeak, JsonItem::StepPeak},
    {"step", JsonItem::Step, JsonItem::Step},
    {"verdict", JsonItem::Verdict, JsonItem::Verdict},
}};

constexpr std::size_t Index(JsonItem item) { return static_cast<std::size_t>(item); }

}  // namespace

bool JsonFields::AnyOf(JsonItem first, JsonItem last) const {
  for (std::size_t i = Index(first); i <= Index(last); ++i) {
    if (items_.test(i)) return true;
  }
  return false;
}

bool JsonFields::NeedsResponses() const {
  // The poles are the design's own: the stability check finds them.
  JsonFields curves = *this;
  curves.items_.reset(Index(JsonItem::Poles));
  return curves.AnyOf(JsonItem::GroupDelayUnit, JsonItem::Step);
}

std::optional<JsonFields> JsonFields::Parse(std::string_view list, std::string& unknown) {
  JsonFields fields;
  fields.items_.reset();
  for (;;) {
    const std::size_t comma = list.find(',');
    const std::string_view name = list.substr(0, comma);
    bool known = false;
    for (const FieldName& field : kFieldNames) {
      if (field.name != name) continue;
      for (std::size_t i = Index(field.first); i <= Index(field.last); ++i) fields.items_.set(i);
      known = true;
    }
    if (!known) {
      unknown = name;
      return std::nullopt;
    }
    if (comma == std::string_view::npos) return fields;
    list.remove_prefix(comma + 1);
  }
}

std::string JsonFields::KnownNames() {
  std::string names;
  for (const FieldName& field : kFieldNames) {
    if (!names.empty()) names += ", ";
    names += field.name;
  }
  return names;
}

}  // namespace qv::cli
