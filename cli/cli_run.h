// One run of quorvanel-cli: options, starting parameters, Calculate, outputs.
#pragma once

#include <istream>
#include <ostream>

namespace qv::cli {

// Runs the command line argv[0..argc-1] (argv[0] the program name): starts from the defaults
// of a new design or from --open, applies the overrides and the form's rules, calculates, and
// on success produces the requested outputs. Messages go to `err` (each ending in a newline),
// the JSON printout and --help/--version to `out`; --batch reads its specifications from `in`.
// Returns the number of the exit status (cli/exit_status.h) that the process ends with.
int RunCli(int argc, const char* const* argv, std::istream& in, std::ostream& out,
           std::ostream& err);

// RunCli on the standard input and output (descriptors 0 and 1). A failed standard output is
// reported with the system's reason; a --batch run whose output fails on another thread ends
// at once, also while it waits for input.
int RunCli(int argc, const char* const* argv, std::ostream& err);

}  // namespace qv::cli
