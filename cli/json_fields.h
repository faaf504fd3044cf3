// The parts of the JSON printout that --fields can name: a whole record ("spec", "scale",
// "design", "responses", "verdict") or one field of the design or the responses ("firTaps",
// "magnitudeDb", "poles", ...). The printout keeps its record order whatever the order of the
// list.
#pragma once

#include <bitset>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qv::cli {

// Every item the printout can hold, in the order it writes them.
enum class JsonItem : std::size_t {
  Spec,
  Scale,
  Numerator,
  Denominator,
  FirTaps,
  Shift,
  GroupDelayUnit,
  GroupDelayFactor,
  MagnitudeMinDb,
  MagnitudeMaxDb,
  MagnitudeDb,
  Phase,
  GroupDelayMin,
  GroupDelayMax,
  GroupDelay,
  Zeros,
  Poles,
  ImpulsePeak,
  Impulse,
  StepPeak,
  Step,
  Verdict,  // the check against the tolerance scheme, printed only for a design that has one
  Count
};

// A selection of items; by default every one, which is the printout as it always was.
class JsonFields {
 public:
  JsonFields() { items_.set(); }

  bool Has(JsonItem item) const { return items_.test(static_cast<std::size_t>(item)); }
  // True when some item between `first` and `last` (both included) is selected.
  bool AnyOf(JsonItem first, JsonItem last) const;
  // True when a selected item needs the response curves (all but the design's own poles).
  bool NeedsResponses() const;

  // Reads a comma-separated list of names. Returns no value with the first unknown (or empty)
  // name in `unknown`.
  static std::optional<JsonFields> Parse(std::string_view list, std::string& unknown);

  // The names Parse knows, comma-separated, for a usage message.
  static std::string KnownNames();

 private:
  std::bitset<static_cast<std::size_t>(JsonItem::Count)> items_;
};

}  // namespace qv::cli
