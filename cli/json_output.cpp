#include "cli/json_output.h"

#include <fmt/compile.h>

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>
#include <span>

namespace qv::cli {

namespace {

using Buffer = fmt::memory_buffer;

void Text(Buffer& out, std::string_view text) {
  out.append(text.data(), text.data() + text.size());
}

void Whole(Buffer& out, std::int32_t value) {
  constexpr int kMostChars = 12;  // "-2147483648"
  char text[kMostChars];
  out.append(text, std::to_chars(text, text + kMostChars, value).ptr);
}

// Writes the eight decimal digits of `value` (below 10^8, with leading zeros) at `at`, two
// digits at a time from a table: fixed work without a data-dependent branch.
void EightDigits(char* at, std::uint32_t value) {
  static constexpr char kPairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839404142434445"
      "46"
      "47484950515253545556575859606162636465666768697071727374757677787980818283848586878889909192"
      "93"
      "949596979899";
  constexpr std::uint32_t kHundred = 100;
  constexpr std::uint32_t kTenThousand = 10000;
  const std::uint32_t high = value / kTenThousand;
  const std::uint32_t low = value % kTenThousand;
  std::memcpy(at, kPairs + 2 * (high / kHundred), 2);
  std::memcpy(at + 2, kPairs + 2 * (high % kHundred), 2);
  std::memcpy(at + 4, kPairs + 2 * (low / kHundred), 2);
  std::memcpy(at + 6, kPairs + 2 * (low % kHundred), 2);
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

// The layout of significand x 10^exponent at `cursor`, as short as the usual forms allow:
// plain digits below 10^17, a decimal point inside the digits or up to five zeros after "0.",
// else one digit before the point and an exponent. Every form denotes that exact decimal, so
// it reads back as the double it came from. Returns the end of the text (at most 24 chars);
// `cursor` needs kDecimalRoom chars, since every copy is of one fixed length (short copies of
// varying length cost more than the text itself).
constexpr int kDecimalRoom = 64;
char* Decimal(char* cursor, std::uint64_t significand, int exponent) {
  constexpr int kPlainDigits = 17;     // integers printed without an exponent: below 10^17
  constexpr int kShortestDigits = 17;  // the most a double's shortest decimal needs
  constexpr int kEight = 8;
  constexpr int kLeadingZeros = 5;   // 0.00001 still plain, 0.000001 as 1e-6
  constexpr int kMostDigits = 20;    // of a 64-bit significand; also the fixed copy length
  constexpr int kExponentChars = 5;  // "e-324"
  constexpr std::uint64_t kLowDigits = 100000000;  // 10^8: eight digits apart
  constexpr std::uint32_t kLowDigits32 = 100000000;
  constexpr std::uint64_t kSeventeenDigits = 100000000000000000;  // 10^17
  // The digits end at `end`, with a fixed copy's length of slack behind them.
  char text[2 * kMostDigits] = {};
  char* const end = text + kMostDigits;
  char* digits = end;
  if (significand < kSeventeenDigits) {
    // Dragonbox significands of doubles have at most 17 digits: all 17 are written, leading
    // zeros too, and the number's own start is found from its digit count.
    const auto high = static_cast<std::uint32_t>(significand / kLowDigits);
    *(end - kShortestDigits) = static_cast<char>('0' + high / kLowDigits32);
    EightDigits(end - 2 * kEight, high % kLowDigits32);
    EightDigits(end - kEight, static_cast<std::uint32_t>(significand % kLowDigits));
    digits = end - DigitCount(significand);
  } else {
    digits = std::to_chars(text, end, significand).ptr;
    std::rotate(text, digits, end);  // right-aligned, as the other branch leaves them
    digits = text + (end - digits);
  }
  const auto count = static_cast<int>(end - digits);
  const int point = count + exponent;  // digits before the decimal point
  if (exponent >= 0 && point <= kPlainDigits) {
    std::memcpy(cursor, digits, kMostDigits);
    std::memset(cursor + count, '0', kPlainDigits);
    return cursor + point;
  }
  if (exponent < 0 && point > 0) {
    std::memcpy(cursor, digits, kMostDigits);
    cursor[point] = '.';
    std::memcpy(cursor + point + 1, digits + point, kMostDigits);
    return cursor + count + 1;
  }
  if (exponent < 0 && point > -kLeadingZeros) {
    cursor[0] = '0';
    cursor[1] = '.';
    std::memset(cursor + 2, '0', kLeadingZeros);
    cursor += 2 - point;
    std::memcpy(cursor, digits, kMostDigits);
    return cursor + count;
  }
  cursor[0] = digits[0];
  cursor[1] = '.';
  std::memcpy(cursor + 2, digits + 1, kMostDigits);
  cursor += count > 1 ? count + 1 : 1;
  *cursor++ = 'e';
  return std::to_chars(cursor, cursor + kExponentChars, point - 1).ptr;
}

// The shortest decimal that reads back as `value`, by fmt's Dragonbox. The search is taken
// from fmt and the layout written here: fmt's general formatter spends as long again on format
// options that a JSON number never needs. JSON has no literal for infinities and
// not-a-number.
void Real(Buffer& out, double value) {
  if (!std::isfinite(value)) {
    Text(out, "null");
    return;
  }
  if (value == 0.0) {
    // A reader may take "-0" for the integer 0; the fraction keeps the sign.
    Text(out, std::signbit(value) ? "-0.0" : "0");
    return;
  }
  // Written in place behind the text so far: an append per number would cost a call and a
  // copy of varying length.
  out.reserve(out.size() + kDecimalRoom + 1);
  char* cursor = out.data() + out.size();
  if (value < 0.0) *cursor++ = '-';
  const auto decimal = fmt::detail::dragonbox::to_decimal(std::abs(value));
  cursor = Decimal(cursor, decimal.significand, decimal.exponent);
  out.resize(static_cast<std::size_t>(cursor - out.data()));
}

template <typename Enum>
void Code(Buffer& out, Enum value) {
  Whole(out, static_cast<std::int32_t>(value));
}

void String(Buffer& out, std::string_view value) {
  constexpr unsigned char kFirstPrintable = 0x20;
  out.push_back('"');
  for (const char c : value) {
    if (c == '"' || c == '\\') {
      out.push_back('\\');
      out.push_back(c);
    } else if (c == '\n') {
      Text(out, "\\n");
    } else if (static_cast<unsigned char>(c) < kFirstPrintable) {
      fmt::format_to(std::back_inserter(out), FMT_COMPILE("\\u{:04x}"), static_cast<unsigned>(c));
    } else {
      out.push_back(c);
    }
  }
  out.push_back('"');
}

// The first `count` values, `count` kept within the array.
void Reals(Buffer& out, std::span<const double> values, int count = -1) {
  const auto size = static_cast<int>(values.size());
  const int used = count < 0 ? size : std::clamp(count, 0, size);
  out.push_back('[');
  for (int i = 0; i < used; ++i) {
    if (i > 0) out.push_back(',');
    Real(out, values[i]);
  }
  out.push_back(']');
}

void Points(Buffer& out, std::span<const Complex> points, int count) {
  const int used = std::clamp(count, 0, static_cast<int>(points.size()));
  out.push_back('[');
  for (int i = 0; i < used; ++i) {
    Text(out, i > 0 ? ",[" : "[");
    Real(out, points[i].re);
    out.push_back(',');
    Real(out, points[i].im);
    out.push_back(']');
  }
  out.push_back(']');
}

// Writes the braces of one object and the commas between its fields.
class Object {
 public:
  explicit Object(Buffer& out) : out_(out) { out_.push_back('{'); }
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;
  ~Object() { out_.push_back('}'); }

  // Writes the field's name; its value follows.
  Buffer& operator[](std::string_view name) {
    Text(out_, first_ ? "\"" : ",\"");
    first_ = false;
    Text(out_, name);
    Text(out_, "\":");
    return out_;
  }

 private:
  Buffer& out_;
  bool first_ = true;
};

void Spec(Buffer& out, const FilterSpec& spec) {
  Object o(out);
  Code(o["filterClass"], spec.filterClass);
  Code(o["bandType"], spec.bandType);
  Code(o["model"], spec.model);
  Whole(o["order"], spec.order);
  Whole(o["effectiveOrder"], spec.effectiveOrder);
  Real(o["rollOff"], spec.rollOff);
  Whole(o["fcut1"], spec.fcut1);
  Whole(o["fcut2"], spec.fcut2);
  Whole(o["fsample"], spec.fsample);
  Real(o["fcenter"], spec.fcenter);
  Real(o["ripple"], spec.ripple);
  Whole(o["taps"], spec.taps);
  Code(o["quantization"], spec.quantization);
}

void Scale(Buffer& out, const DisplayScale& scale) {
  Object o(out);
  Whole(o["points"], scale.points);
  // Widened first: the shortest text of the float itself would read back as another double.
  Real(o["columnStep"], static_cast<double>(scale.columnStep));
  Real(o["timeStep"], static_cast<double>(scale.timeStep));
  Whole(o["freqDivisor"], scale.freqDivisor);
  String(o["timeUnit"], scale.timeUnit);
  String(o["freqUnit"], scale.freqUnit);
}

}  // namespace

void AppendDesignJson(Buffer& text, const CalculatedDesign& calculated) {
  const FilterSpec& spec = calculated.spec;
  const FilterDesign& design = calculated.design;
  const ResponseSet& r = calculated.responses;
  const bool hasPolynomials = IsIirModel(spec.model);
  const int coefficients = hasPolynomials ? spec.effectiveOrder + 1 : 0;
  const int roots = hasPolynomials ? spec.effectiveOrder : 0;
  const int taps = spec.filterClass == FilterClass::Fir ? spec.taps : 0;

  Object top(text);
  Spec(top["spec"], spec);
  Scale(top["scale"], calculated.scale);
  {
    Object d(top["design"]);
    Reals(d["numerator"], design.numerator, coefficients);
    Reals(d["denominator"], design.denominator, coefficients);
    Reals(d["firTaps"], design.firTaps, taps);
    Whole(d["shift"], design.shift);
  }
  Object o(top["responses"]);
  String(o["groupDelayUnit"], r.groupDelayUnit);
  Real(o["groupDelayFactor"], static_cast<double>(r.groupDelayFactor));
  Real(o["magnitudeMinDb"], r.magnitudeMinDb);
  Real(o["magnitudeMaxDb"], r.magnitudeMaxDb);
  Reals(o["magnitudeDb"], r.magnitudeDb);
  Reals(o["phase"], r.phase);
  Real(o["groupDelayMin"], r.groupDelayMin);
  Real(o["groupDelayMax"], r.groupDelayMax);
  Reals(o["groupDelay"], r.groupDelay);
  Points(o["zeros"], r.zeros, roots);
  Points(o["poles"], r.poles, roots);
  Real(o["impulsePeak"], r.impulsePeak);
  Reals(o["impulse"], r.impulse);
  Real(o["stepPeak"], r.stepPeak);
  Reals(o["step"], r.step);
}

void AppendErrorJson(Buffer& text, std::string_view message, std::int32_t code) {
  Object o(text);
  String(o["error"], message);
  Whole(o["code"], code);
}

bool WriteDesignJson(std::ostream& out, const CalculatedDesign& calculated) {
  Buffer text;
  AppendDesignJson(text, calculated);
  text.push_back('\n');
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.flush();
  return static_cast<bool>(out);
}

}  // namespace qv::cli
