#include "cli/json_number.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace qv::cli {

namespace {

// Digits are put together in the bytes of a word, the first at the lowest address.
static_assert(std::endian::native == std::endian::little);

constexpr int kMostDigits = 17;  // of a double's shortest decimal
constexpr int kByteBits = 8;

// The two ASCII digits of 0 to 99, in order.
constexpr std::array<char, 200> kDigitPairs = [] {
  std::array<char, 200> pairs{};
  for (std::size_t i = 0; i < pairs.size() / 2; ++i) {
    pairs[2 * i] = static_cast<char>('0' + i / 10);
    pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
  }
  return pairs;
}();

// The digits of `pair` (below 100) in the low two bytes, the first in the lowest.
std::uint64_t Pair(std::uint32_t pair) {
  std::uint16_t digits = 0;
  std::memcpy(&digits, kDigitPairs.data() + 2 * pair, sizeof digits);
  return digits;
}

// The eight decimal digits of `value` (below 10^8, leading zeros kept) as ASCII in the bytes
// of one word, the first digit in the lowest byte: four pairs from a table, found by two
// levels of division that run side by side, so that a number's digits take a short chain of
// dependent steps.
std::uint64_t EightDigits(std::uint32_t value) {
  constexpr std::uint32_t kTenThousand = 10000;
  constexpr std::uint32_t kHundred = 100;
  const std::uint32_t high = value / kTenThousand;
  const std::uint32_t low = value % kTenThousand;
  return Pair(high / kHundred) | (Pair(high % kHundred) << (2 * kByteBits)) |
         (Pair(low / kHundred) << (4 * kByteBits)) | (Pair(low % kHundred) << (6 * kByteBits));
}

// The 17 digits of a significand below 10^17, leading zeros kept, held in registers: text
// built in memory and read back at a varying offset would stall on the store-to-load path.
struct Digits {
  std::uint64_t first;   // digits 1 to 8
  std::uint64_t second;  // digits 9 to 16
  char last;             // digit 17
};

Digits DigitsOf(std::uint64_t significand) {
  constexpr std::uint32_t kTen = 10;
  constexpr std::uint64_t kNineDigits = 1000000000;
  const auto lastNine = static_cast<std::uint32_t>(significand % kNineDigits);
  return {EightDigits(static_cast<std::uint32_t>(significand / kNineDigits)),
          EightDigits(lastNine / kTen), static_cast<char>('0' + lastNine % kTen)};
}

// Stores digits `skip` + 1 to 17 at `at` and returns the end (17 - skip chars later). Stores
// are of fixed length: the 17 bytes from `at` on are touched whatever `skip` is.
char* StoreDigits(char* at, const Digits& digits, int skip) {
  constexpr int kWordBytes = 8;
  const auto shift = static_cast<unsigned>(skip * kByteBits);
  std::uint64_t low = 0;
  std::uint64_t high = 0;
  if (skip < kWordBytes) {
    // The second word's bytes move into the first; a shift by 64 would be undefined, so it
    // goes in two steps.
    low = (digits.first >> shift) | ((digits.second << 1) << (63U - shift));
    high = digits.second >> shift;
  } else {
    // skip 16 leaves the last digit alone, which is stored below over these bytes.
    low = digits.second >> ((shift - 64U) & 63U);
  }
  std::memcpy(at, &low, kWordBytes);
  std::memcpy(at + kWordBytes, &high, kWordBytes);
  at[kMostDigits - 1 - skip] = digits.last;
  return at + kMostDigits - skip;
}

// The number of decimal digits of `value` (at least 1), from its bit length.
int DigitCount(std::uint64_t value) {
  static constexpr std::array<std::uint64_t, 20> kPowers = [] {
    std::array<std::uint64_t, 20> powers{};
    std::uint64_t power = 1;
    for (auto& p : powers) {
      p = power;
      power *= 10;
    }
    return powers;
  }();
  constexpr int kLog10Of2Scaled = 1233;  // log10(2) x 2^12
  constexpr int kScaleBits = 12;
  const auto bits = static_cast<int>(std::bit_width(value | 1));
  // digits - 1, or one more than that when value lies below the guessed power of ten
  const int guess = (bits * kLog10Of2Scaled) >> kScaleBits;
  return guess + 1 - (value < kPowers[static_cast<std::size_t>(guess)] ? 1 : 0);
}

}  // namespace

char* WriteJsonDecimal(char* cursor, ShortestDecimal decimal) {
  constexpr int kPlainDigits = 17;   // integers printed without an exponent: below 10^17
  constexpr int kLeadingZeros = 4;   // 0.00001 still plain, 0.000001 as 1e-6
  constexpr int kExponentChars = 5;  // "e-324"
  constexpr std::uint64_t kZeros = 0x3030303030303030;      // "00000000"
  constexpr std::uint64_t kZeroPoint = 0x3030303030302E30;  // "0.000000"
  const Digits digits = DigitsOf(decimal.significand);
  const int count = DigitCount(decimal.significand);
  const int skip = kMostDigits - count;        // leading zeros of the 17 digits
  const int point = count + decimal.exponent;  // digits before the decimal point
  if (decimal.exponent >= 0 && point <= kPlainDigits) {
    char* const end = StoreDigits(cursor, digits, skip);
    // At most 16 zeros follow, since the significand has at least one digit.
    std::memcpy(end, &kZeros, sizeof kZeros);
    std::memcpy(end + sizeof kZeros, &kZeros, sizeof kZeros);
    return cursor + point;
  }
  if (decimal.exponent < 0 && point > 0) {
    // The digits after the point are stored again one place on, over the first copy's tail.
    StoreDigits(cursor, digits, skip);
    cursor[point] = '.';
    return StoreDigits(cursor + point + 1, digits, skip + point);
  }
  if (decimal.exponent < 0 && point >= -kLeadingZeros) {
    std::memcpy(cursor, &kZeroPoint, sizeof kZeroPoint);
    return StoreDigits(cursor + 2 - point, digits, skip);
  }
  char* end = StoreDigits(cursor, digits, skip);
  if (count > 1) {
    cursor[1] = '.';
    end = StoreDigits(cursor + 2, digits, skip + 1);
  }
  *end++ = 'e';
  return std::to_chars(end, end + kExponentChars, point - 1).ptr;
}

char* WriteJsonReal(char* cursor, double value) {
  constexpr std::string_view kNull = "null";
  constexpr std::string_view kMinusZero = "-0.0";
  if (!std::isfinite(value)) {
    std::memcpy(cursor, kNull.data(), kNull.size());
    return cursor + kNull.size();
  }
  if (value == 0.0) {
    if (!std::signbit(value)) {
      *cursor = '0';
      return cursor + 1;
    }
    std::memcpy(cursor, kMinusZero.data(), kMinusZero.size());
    return cursor + kMinusZero.size();
  }
  if (value < 0.0) *cursor++ = '-';
  return WriteJsonDecimal(cursor, FindShortestDecimal(std::abs(value)));
}

}  // namespace qv::cli
