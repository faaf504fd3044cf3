#include "codegen/formatted_output.h"

#include <array>
#include <cstdarg>
#include <cstdio>
#include <string>

namespace qv {
namespace {

// Long enough for every line the generators format; longer texts take a second pass.
constexpr std::size_t kLineBuffer = 512;

}  // namespace

void Print(std::ostream& out, const char* format, ...) {
  std::array<char, kLineBuffer> line{};
  std::va_list arguments;
  va_start(arguments, format);
  std::va_list again;
  va_copy(again, arguments);
  const int length = std::vsnprintf(line.data(), line.size(), format, arguments);
  va_end(arguments);
  if (length < 0) {
    va_end(again);
    out.setstate(std::ios::badbit);
    return;
  }
  const auto size = static_cast<std::size_t>(length);
  if (size < line.size()) {
    va_end(again);
    out.write(line.data(), static_cast<std::streamsize>(size));
    return;
  }
  std::string text(size + 1, '\0');
  std::vsnprintf(text.data(), text.size(), format, again);
  va_end(again);
  out.write(text.data(), static_cast<std::streamsize>(size));
}

}  // namespace qv
