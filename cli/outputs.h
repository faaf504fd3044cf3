// What quorvanel-cli produces from a calculated design: the design file, the JSON printout
// and the generators' files. Each output has its options here and runs after a successful
// Calculate.
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "cli/codegen_outputs.h"
#include "cli/exit_status.h"
#include "cli/json_fields.h"
#include "engine/calculate.h"
#include "fileio/extension_block.h"
#include "records/filter_spec.h"

namespace CLI {
class App;
}

namespace qv::cli {

// The requested outputs. An output without its option is not produced.
struct OutputOptions {
  std::optional<std::string> savePath;  // --save FILE.qvd
  KeptChunks keptChunks;                // what --open read for a later version, saved again
  bool json = false;                    // --json
  JsonFields fields;                    // --fields: what --json (and --batch) print
  std::optional<std::string> gifPath;   // --gif FILE.gif
  CodegenOptions codegen;               // --c, --vhdl, --arch, --resolution, --estimate,
                                        // --coe, --mif, --csv, --sos
};

// Declares the options of every output on `app`, writing into `options` when parsed.
void AddOutputOptions(CLI::App& app, OutputOptions& options);

// Produces every requested output of a successfully calculated design, in a fixed order: the
// design file, the generators' files, then the JSON printout on `out`. An output that is
// refused or fails writes its message to `err`, and the others still run. Returns
// ExitStatus::Success, or ExitStatus::OutputFailed when any output was refused or failed.
[[nodiscard]] ExitStatus WriteOutputs(const OutputOptions& options, const Calculation& calculated,
                                      std::ostream& out, std::ostream& err);

}  // namespace qv::cli
