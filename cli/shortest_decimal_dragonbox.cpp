// The one use of {fmt}'s internal Dragonbox search. Built only where the configure-time check
// finds it; without it shortest_decimal_to_chars.cpp provides FindShortestDecimal.
#include <fmt/format.h>

#include "cli/shortest_decimal.h"

namespace qv::cli {

ShortestDecimal FindShortestDecimal(double value) {
  const auto decimal = fmt::detail::dragonbox::to_decimal(value);
  return {decimal.significand, decimal.exponent};
}

}  // namespace qv::cli
