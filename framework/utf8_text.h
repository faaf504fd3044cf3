// The engine's texts are UTF-8 string views; the widgets take QStrings.
#pragma once

#include <QString>
#include <string_view>

namespace qv {

// Takes a UTF-8 text; returns it as a QString.
inline QString FromUtf8View(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace qv
