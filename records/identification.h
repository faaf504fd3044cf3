// The identification block that heads every output: C and VHDL files, the exported image
// and the printout. One place, so that every output names the product the same way.
#pragma once

#include <string_view>

namespace qv {

inline constexpr std::string_view kProductName = "Quorvanel";
inline constexpr std::string_view kVersionSeparator = " version ";
inline constexpr std::string_view kVersionText = "0.8";  // also the design file's version string
inline constexpr std::string_view kWebSite = "https://quorvanel.example.org";
inline constexpr std::string_view kContactEmail = "support@quorvanel.example.org";

}  // namespace qv
