// JSON numbers: a double as the shortest text that reads back to it.
#pragma once

#include "cli/shortest_decimal.h"

namespace qv::cli {

// Chars that WriteJsonReal and WriteJsonDecimal may store from their cursor on: the text itself
// is at most 25 ("-", 17 digits, ".", "e-324"), and its digits are stored eight at a time, so
// up to 35 bytes from the cursor on may be touched; those past the returned end are left for
// the next text to overwrite.
inline constexpr int kJsonRealRoom = 40;

// Writes `value` at `cursor` and returns the end of its text: the shortest decimal that reads
// back as the same double (FindShortestDecimal), laid out by WriteJsonDecimal; 0 as "0", minus
// zero as "-0.0" (a reader may take "-0" for the integer 0), and a value that is not finite as
// "null", since JSON has no literal for infinities and not-a-number.
char* WriteJsonReal(char* cursor, double value);

// Writes the finite decimal `decimal` (significand below 10^17, not 0) at `cursor` as short
// as the usual forms allow, and returns the end of the text: plain digits below 10^17
// ("120"), a decimal point inside the digits ("0.25", "-3.0102999566398121") or after "0."
// and up to four zeros ("0.00001"), else one digit, the point and the other digits, and an
// exponent ("1e17", "1.5e-6"). Every form denotes that exact decimal.
char* WriteJsonDecimal(char* cursor, ShortestDecimal decimal);

}  // namespace qv::cli
