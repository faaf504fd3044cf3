// The JSON number writer: its layouts, and every double read back bit for bit from the
// shortest text. Built twice, with the printout's search (Dragonbox where {fmt} has it) and
// with the std::to_chars fallback alone, so that both builds are proven.
#include "cli/json_number.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "cli/shortest_decimal.h"

namespace qv::cli {
namespace {

std::string Written(double value) {
  char text[kJsonRealRoom];
  return {text, WriteJsonReal(text, value)};
}

struct Layout {
  double value;
  const char* text;
};

// One case per form and per edge between forms.
const Layout kLayouts[] = {
    {0.0, "0"},
    {-0.0, "-0.0"},
    {std::numeric_limits<double>::infinity(), "null"},
    {-std::numeric_limits<double>::infinity(), "null"},
    {std::numeric_limits<double>::quiet_NaN(), "null"},
    {1.0, "1"},
    {-3.0, "-3"},
    {120.0, "120"},
    {1e16, "10000000000000000"},
    {99999999999999984.0, "99999999999999980"},
    {1e17, "1e17"},
    {1.5e300, "1.5e300"},
    {0.25, "0.25"},
    {-3.0102999566398121, "-3.010299956639812"},
    {12345678.9, "12345678.9"},
    {4294967296.5, "4294967296.5"},
    {0.1, "0.1"},
    {0.00001, "0.00001"},
    {0.000012345678901234568, "0.000012345678901234568"},
    {0.000001, "1e-6"},
    {1.5e-6, "1.5e-6"},
    {5e-324, "5e-324"},
    {2.2250738585072014e-308, "2.2250738585072014e-308"},
    {-1.7976931348623157e308, "-1.7976931348623157e308"},
};

TEST(JsonNumber, EachFormIsLaidOutAsDocumented) {
  for (const Layout& layout : kLayouts) {
    EXPECT_EQ(Written(layout.value), layout.text) << layout.text;
  }
}

// Edge values, then random bit patterns over the whole range, then the short decimals that
// plotted curves and specifications hold.
std::vector<double> Values() {
  std::vector<double> values;
  // Zero, its sign and the values that are not finite have texts of their own (above).
  const auto numbered = [](double value) { return std::isfinite(value) && value != 0.0; };
  for (const Layout& layout : kLayouts) {
    if (numbered(layout.value)) values.push_back(layout.value);
  }
  std::mt19937_64 random(21);
  constexpr int kRandomBits = 200000;
  for (int i = 0; i < kRandomBits; ++i) {
    const std::uint64_t bits = random();
    double value = 0.0;
    std::memcpy(&value, &bits, sizeof value);
    if (numbered(value)) values.push_back(value);
  }
  constexpr int kShortDecimals = 20000;
  std::uniform_int_distribution<int> digits(1, 99999);
  std::uniform_int_distribution<int> exponent(-12, 12);
  for (int i = 0; i < kShortDecimals; ++i) {
    values.push_back(digits(random) * std::pow(10.0, exponent(random)));
  }
  return values;
}

// The text reads back to the same double, and its digits are those of the standard library's
// shortest round trip: none shorter reads back, and of those the nearest is taken.
TEST(JsonNumber, ShortestTextReadsBackBitForBit) {
  for (const double value : Values()) {
    const std::string text = Written(value);
    double read = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), read);
    ASSERT_TRUE(error == std::errc() && end == text.data() + text.size()) << text;
    ASSERT_EQ(std::memcmp(&read, &value, sizeof read), 0) << text;

    const ShortestDecimal standard = ShortestDecimalByToChars(std::abs(value));
    char fromStandard[kJsonRealRoom + 1] = {'-'};
    char* const start = fromStandard + (std::signbit(value) ? 1 : 0);
    ASSERT_EQ(text, std::string(fromStandard, WriteJsonDecimal(start, standard))) << value;
  }
}

}  // namespace
}  // namespace qv::cli
