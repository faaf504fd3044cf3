// The shortest decimal of a double: the fewest significant digits that read back to it, and of
// those the nearest to it. Two searches give the same digits: {fmt}'s Dragonbox, which is an
// internal of that library, and the standard library's std::to_chars, which is slower.
#pragma once

#include <cstdint>

namespace qv::cli {

// significand x 10^exponent, the significand without trailing zeros (at most 17 digits).
struct ShortestDecimal {
  std::uint64_t significand;
  int exponent;
};

// The search the printout uses, for a finite `value` > 0: Dragonbox where the {fmt} this
// program is built with still offers it (a configure-time check), else ShortestDecimalByToChars.
ShortestDecimal FindShortestDecimal(double value);

// The same digits read from std::to_chars' shortest round-trip text, for a finite `value` > 0.
ShortestDecimal ShortestDecimalByToChars(double value);

}  // namespace qv::cli
