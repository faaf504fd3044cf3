// What each coefficient quantisation means wherever a design is computed or written: the word's
// bits and full scale, its name in the file headers, its digits in hexadecimal and the C types
// of the generated functions. A new word size is one entry of kWordFormats.
#pragma once

#include <array>

#include "records/filter_spec.h"

namespace qv {

// The C types of a generated filter function: coefficients and input samples (narrow), IIR
// output samples (wide) and the FIR accumulator. The FIR sum of N products needs about log2(N)
// bits more than one product, so its accumulator is one size wider than the IIR output type,
// which the saturation warning of the IIR function covers instead. The sized names are
// Microsoft C's own; `standard` holds the <stdint.h> type of each, which the file gives to
// every other compiler.
struct CTypeNames {
  const char* narrow;
  const char* wide;
  const char* firAccumulator;
  std::array<const char*, 3> standard;  // of narrow, wide and firAccumulator
};

struct WordFormat {
  Quantization quantization;
  int bits;          // of the signed word; 0 for float
  double fullScale;  // 2^(bits - 1), the word's value of 1.0; 1 for float
  const char* name;  // in the file headers: "8-bit", "16-bit", "float"
  int hexDigits;     // of one word in two's complement; 0 for float
  CTypeNames cTypes;
};

inline constexpr std::array<WordFormat, 3> kWordFormats{{
    {Quantization::Float, 0, 1.0, "float", 0, {"float", "float", "float", {}}},
    {Quantization::Signed8,
     8,
     128.0,
     "8-bit",
     2,
     {"__int8", "__int16", "__int32", {"int8_t", "int16_t", "int32_t"}}},
    {Quantization::Signed16,
     16,
     32768.0,
     "16-bit",
     4,
     {"__int16", "__int32", "__int64", {"int16_t", "int32_t", "int64_t"}}},
}};

// The entry of `quantization`; the float entry for a value outside the list.
[[nodiscard]] constexpr const WordFormat& WordFormatOf(Quantization quantization) {
  for (const WordFormat& format : kWordFormats) {
    if (format.quantization == quantization) {
      return format;
    }
  }
  return kWordFormats[0];
}

// True for the fixed-point words: coefficients held as whole numbers.
[[nodiscard]] constexpr bool IsQuantized(Quantization quantization) {
  return WordFormatOf(quantization).bits > 0;
}

// The coefficient word of the generated hardware: the design's, or 16 bits for a float design,
// which every hardware output refuses before it is written.
[[nodiscard]] constexpr const WordFormat& HardwareWordFormat(Quantization quantization) {
  return IsQuantized(quantization) ? WordFormatOf(quantization)
                                   : WordFormatOf(Quantization::Signed16);
}

}  // namespace qv
