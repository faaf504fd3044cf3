#include "cli/cli_run.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

#include "cli/batch_mode.h"
#include "cli/cli_options.h"
#include "cli/exit_status.h"
#include "cli/outputs.h"
#include "engine/calculate.h"
#include "fileio/design_file.h"

namespace qv::cli {

namespace {

constexpr std::string_view kNotFoundSuffix = " was not found.";
constexpr std::string_view kOpenFailedMessage = "Failed to open document.";

// Messages are shown exactly; a newline is added only where the text has none of its own.
void ShowMessage(std::ostream& err, std::string_view message) {
  err << message;
  if (message.empty() || message.back() != '\n') {
    err << '\n';
  }
}

// Reads the parameters of the design file at `path` into `spec`. Returns true when the run goes
// on (the file loaded, or held no byte and so left the parameters as they were); otherwise the
// refusal has been shown.
bool OpenDesign(const std::string& path, FilterSpec& spec, std::ostream& err) {
  std::error_code ignored;
  if (!std::filesystem::exists(path, ignored)) {
    ShowMessage(err, path + std::string(kNotFoundSuffix));
    return false;
  }
  std::ifstream file;
  if (!std::filesystem::is_directory(path, ignored)) {
    file.open(path, std::ios::binary);
  }
  if (!file.is_open()) {
    ShowMessage(err, kOpenFailedMessage);
    return false;
  }
  const LoadOutcome outcome = LoadDesignFile(file, spec);
  if (outcome == LoadOutcome::Loaded || outcome == LoadOutcome::Empty) {
    return true;
  }
  ShowMessage(err, LoadOutcomeMessage(outcome));
  return false;
}

}  // namespace

int RunCli(int argc, const char* const* argv, std::istream& in, std::ostream& out,
           std::ostream& err) {
  CliOptions options;
  if (const auto status = ParseCliOptions(argc, argv, options, out, err)) {
    return *status;
  }
  if (options.batch) {
    return RunBatch(in, out, err, options.jobs.value_or(DefaultBatchJobs()),
                    options.outputs.fields);
  }

  FilterSpec spec;  // a new design: the defaults
  if (options.openPath && !OpenDesign(*options.openPath, spec, err)) {
    return kExitRefused;
  }
  ApplyOverrides(options.overrides, spec);
  if (const auto usage = ApplyFormRules(options.overrides, spec)) {
    ShowMessage(err, *usage);
    return kExitUsage;
  }

  const Calculation calculation = Calculate(spec);
  if (!calculation.Succeeded()) {
    ShowMessage(err, calculation.outcome.message);
    return kExitRefused;
  }
  return WriteOutputs(options.outputs, calculation, out, err);
}

int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  return RunCli(argc, argv, std::cin, out, err);
}

}  // namespace qv::cli
