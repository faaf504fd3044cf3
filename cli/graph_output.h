// The --gif output of quorvanel-cli: the picture of the six graphs of the calculated design.
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "cli/outputs.h"

namespace CLI {
class App;
}

namespace qv::cli {

// Declares --gif FILE.gif on `app`; the path lands in `path` when the option is given.
void AddGraphOption(CLI::App& app, std::optional<std::string>& path);

// Writes the picture of `calculated` as a GIF file at `path`. On failure writes the message
// ("The Output file cannot be created!\n" or "The Output file cannot be closed!\n") to `err`
// and returns false; returns true once the file is written.
bool WriteGraphImage(const std::string& path, const Calculation& calculated, std::ostream& err);

}  // namespace qv::cli
