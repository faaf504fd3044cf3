// The word-format table agrees with itself, so that a new word size added as one entry carries
// consistent facts: full scale, hexadecimal digits and C type widths all follow from the bits.
#include "records/word_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace qv {
namespace {

TEST(WordFormat, EveryFixedPointWordFollowsFromItsBits) {
  for (const WordFormat& word : kWordFormats) {
    EXPECT_EQ(&WordFormatOf(word.quantization), &word);
    if (!IsQuantized(word.quantization)) {
      EXPECT_EQ(word.fullScale, 1.0);
      continue;
    }
    SCOPED_TRACE(word.name);
    EXPECT_EQ(word.fullScale, std::ldexp(1.0, word.bits - 1));
    EXPECT_EQ(word.hexDigits * 4, word.bits);
    EXPECT_EQ(std::string(word.name), std::to_string(word.bits) + "-bit");
    // Each C type doubles the one before it, starting at the word itself.
    const char* const sized[] = {word.cTypes.narrow, word.cTypes.wide, word.cTypes.firAccumulator};
    for (int k = 0; k < 3; ++k) {
      const int bits = word.bits << k;
      EXPECT_EQ(std::string(sized[k]), "__int" + std::to_string(bits));
      EXPECT_EQ(std::string(word.cTypes.standard[static_cast<std::size_t>(k)]),
                "int" + std::to_string(bits) + "_t");
    }
  }
}

TEST(WordFormat, ValuesOutsideTheListAreFloat) {
  EXPECT_FALSE(IsQuantized(static_cast<Quantization>(7)));
  EXPECT_EQ(HardwareWordFormat(Quantization::Float).bits, 16);
  EXPECT_EQ(HardwareWordFormat(Quantization::Signed8).bits, 8);
}

}  // namespace
}  // namespace qv
