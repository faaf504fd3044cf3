#include <charconv>
#include <system_error>

#include "cli/shortest_decimal.h"

namespace qv::cli {

ShortestDecimal ShortestDecimalByToChars(double value) {
  // "d.ddde-xx": the shortest round-trip digits in scientific form, at most 17 digits, the
  // point and an exponent of at most three digits with its signs.
  constexpr int kMostChars = 32;
  constexpr std::uint64_t kTen = 10;
  char text[kMostChars];
  const char* const end =
      std::to_chars(text, text + kMostChars, value, std::chars_format::scientific).ptr;
  ShortestDecimal decimal{0, 0};
  const char* at = text;
  int fractionDigits = 0;
  bool inFraction = false;
  for (; at != end && *at != 'e'; ++at) {
    if (*at == '.') {
      inFraction = true;
      continue;
    }
    decimal.significand = decimal.significand * kTen + static_cast<std::uint64_t>(*at - '0');
    fractionDigits += inFraction ? 1 : 0;
  }
  int exponent = 0;
  if (at != end) {
    ++at;  // the 'e'
    if (*at == '+') ++at;
    std::from_chars(at, end, exponent);
  }
  decimal.exponent = exponent - fractionDigits;
  return decimal;
}

#ifndef QUORVANEL_FMT_DRAGONBOX
ShortestDecimal FindShortestDecimal(double value) { return ShortestDecimalByToChars(value); }
#endif

}  // namespace qv::cli
