// The fields a specification holds beyond its thirteen classic ones (the tolerance scheme, the
// IIR structure and its scaling) under the names the JSON printout writes and a --batch line
// reads, in record order. One table for both, so that a printed "spec" object reads back.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "records/filter_spec.h"

namespace qv::cli {

inline constexpr std::string_view kSchemeFieldName = "scheme";

struct SchemeFlagField {
  std::string_view name;
  bool ToleranceScheme::*member;
};

inline constexpr std::array<SchemeFlagField, 2> kSchemeFlagFields{{
    {"active", &ToleranceScheme::active},
    {"minimumOrder", &ToleranceScheme::minimumOrder},
}};

struct SchemeRealField {
  std::string_view name;
  double ToleranceScheme::*member;
};

inline constexpr std::array<SchemeRealField, 5> kSchemeRealFields{{
    {"pass1", &ToleranceScheme::pass1},
    {"pass2", &ToleranceScheme::pass2},
    {"stop1", &ToleranceScheme::stop1},
    {"stop2", &ToleranceScheme::stop2},
    {"attenuation", &ToleranceScheme::attenuation},
}};

// An enumeration of the structure with the codes it takes (0 to lastCode) and what they mean,
// for the message that refuses any other code.
struct StructureField {
  std::string_view name;
  std::int32_t (*get)(const FilterSpec&);
  void (*set)(FilterSpec&, std::int32_t);
  std::int32_t lastCode;
  std::string_view codes;
};

inline constexpr std::array<StructureField, 2> kStructureFields{{
    {"structure", [](const FilterSpec& s) { return static_cast<std::int32_t>(s.structure); },
     [](FilterSpec& s, std::int32_t v) { s.structure = static_cast<IirStructure>(v); },
     static_cast<std::int32_t>(IirStructure::Sections), "0 (direct form) or 1 (sections)"},
    {"sectionScaling",
     [](const FilterSpec& s) { return static_cast<std::int32_t>(s.sectionScaling); },
     [](FilterSpec& s, std::int32_t v) { s.sectionScaling = static_cast<SectionScaling>(v); },
     static_cast<std::int32_t>(SectionScaling::L2), "0 (L-infinity) or 1 (L2)"},
}};

// Designs in the direct form with L-infinity scaling print neither field, as before they
// existed; any other choice prints both.
constexpr bool HasStructureFields(const FilterSpec& spec) {
  return spec.structure != IirStructure::Direct || spec.sectionScaling != SectionScaling::LInfinity;
}

// A design without a scheme prints no "scheme" object; one whose scheme differs from the
// default in any field prints it whole.
constexpr bool HasSchemeField(const FilterSpec& spec) { return spec.scheme != ToleranceScheme{}; }

}  // namespace qv::cli
