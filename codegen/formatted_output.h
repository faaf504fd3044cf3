// printf-style formatting onto a C++ stream, for the generators whose files are laid out in
// printf formats: the bytes are exactly those std::printf would write.
#pragma once

#include <ostream>

namespace qv {

// Formats like std::printf and writes the result to `out`; a formatting error sets badbit.
[[gnu::format(printf, 2, 3)]] void Print(std::ostream& out, const char* format, ...);

}  // namespace qv
