// The two hardware description languages the generators write.
#pragma once

#include <string_view>

namespace qv {

enum class HdlLanguage : int { Vhdl = 1, Verilog = 2 };

// The language's name as the messages and the generated files spell it: "VHDL", "Verilog".
constexpr std::string_view HdlLanguageName(HdlLanguage language) {
  return language == HdlLanguage::Verilog ? "Verilog" : "VHDL";
}

}  // namespace qv
