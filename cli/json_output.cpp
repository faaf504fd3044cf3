#include "cli/json_output.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>
#include <span>

#include <fmt/compile.h>

namespace qv::cli {

namespace {

using Buffer = fmt::memory_buffer;

void Text(Buffer& out, std::string_view text) { out.append(text.data(), text.data() + text.size()); }

void Whole(Buffer& out, std::int32_t value) {
  constexpr int kMostChars = 12;  // "-2147483648"
  char text[kMostChars];
  out.append(text, std::to_chars(text, text + kMostChars, value).ptr);
}

// Writes the decimal digits of `value` so that they end at `end`, `width` of them at least
// (leading zeros); returns where they start. Two digits per step from a table, in 32 bits.
char* DigitsBefore(char* end, std::uint32_t value, int width) {
  static constexpr char kPairs[] =
      "0001020304050607080910111213141516171819202122232425262728293031323334353637383940414243444546"
      "4748495051525354555657585960616263646566676869707172737475767778798081828384858687888990919293"
      "949596979899";
  constexpr std::uint32_t kTen = 10;
  constexpr std::uint32_t kHundred = 100;
  char* start = end;
  while (value >= kHundred || end - start < width - 1) {
    start -= 2;
    std::memcpy(start, kPairs + 2 * (value % kHundred), 2);
    value /= kHundred;
  }
  if (value >= kTen) {
    start -= 2;
    std::memcpy(start, kPairs + 2 * value, 2);
  } else if (value > 0 || end - start < width) {
    *--start = static_cast<char>('0' + value);
  }
  return start;
}

// The layout of significand x 10^exponent, as short as the usual forms allow: plain digits
// below 10^17, a decimal point inside the digits or up to five zeros after "0.", else one
// digit before the point and an exponent. Every form denotes that exact decimal, so it reads
// back as the double it came from.
void Decimal(Buffer& out, std::uint64_t significand, int exponent) {
  constexpr int kPlainDigits = 17;   // integers printed without an exponent: below 10^17
  constexpr int kLeadingZeros = 5;   // 0.00001 still plain, 0.000001 as 1e-6
  constexpr int kMostDigits = 20;    // of a 64-bit significand
  constexpr std::uint64_t kLowDigits = 100000000;  // 10^8: the low eight digits apart
  constexpr int kLowWidth = 8;
  char text[kMostDigits];
  char* const end = text + kMostDigits;
  char* digits = end;
  // Dragonbox significands of doubles have at most 17 digits, so the high part fits 32 bits
  // after the low eight digits are taken off; the two halves are independent chains.
  if (significand < kLowDigits) {
    digits = DigitsBefore(end, static_cast<std::uint32_t>(significand), 1);
  } else if (significand / kLowDigits <= std::numeric_limits<std::uint32_t>::max()) {
    digits = DigitsBefore(end, static_cast<std::uint32_t>(significand % kLowDigits), kLowWidth);
    digits = DigitsBefore(digits, static_cast<std::uint32_t>(significand / kLowDigits), 1);
  } else {
    digits = std::to_chars(text, end, significand).ptr;
    std::rotate(text, digits, end);  // right-aligned, as the other branches leave them
    digits = text + (end - digits);
  }
  const auto count = static_cast<int>(end - digits);
  const int point = count + exponent;  // digits before the decimal point
  if (exponent >= 0 && point <= kPlainDigits) {
    out.append(digits, end);
    for (int i = 0; i < exponent; ++i) out.push_back('0');
  } else if (exponent < 0 && point > 0) {
    out.append(digits, digits + point);
    out.push_back('.');
    out.append(digits + point, end);
  } else if (exponent < 0 && point > -kLeadingZeros) {
    Text(out, "0.");
    for (int i = 0; i < -point; ++i) out.push_back('0');
    out.append(digits, end);
  } else {
    out.push_back(digits[0]);
    if (count > 1) {
      out.push_back('.');
      out.append(digits + 1, end);
    }
    out.push_back('e');
    Whole(out, point - 1);
  }
}

// The shortest decimal that reads back as `value`, by fmt's Dragonbox. The search is taken
// from fmt and the layout written here: fmt's general formatter spends twice as long again on
// format options that a JSON number never needs. JSON has no literal for infinities and
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
  if (value < 0.0) out.push_back('-');
  const auto decimal = fmt::detail::dragonbox::to_decimal(std::abs(value));
  Decimal(out, decimal.significand, decimal.exponent);
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
