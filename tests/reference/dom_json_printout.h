// The JSON printout as it was first made: an ordered document of the four records, dumped
// afterwards. Tests read the printout against it by value, benchmarks time both in one run.
#pragma once

#include <nlohmann/json.hpp>

#include "cli/outputs.h"

namespace qv::reference {

// The document of the printout of `calculated` (see cli/json_output.h for its fields).
nlohmann::ordered_json DomDesignJson(const Calculation& calculated);

}  // namespace qv::reference
