#include "cli/cli_run.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>
#include <system_error>

#include "cli/batch_mode.h"
#include "cli/cli_options.h"
#include "cli/exit_status.h"
#include "cli/outputs.h"
#include "cli/standard_streams.h"
#include "engine/calculate.h"
#include "fileio/design_file.h"

namespace qv::cli {

namespace {

constexpr std::string_view kNotFoundSuffix = " was not found.";
constexpr std::string_view kOpenFailedMessage = "Failed to open document.";
constexpr std::string_view kOutputFailedMessage = "Standard output cannot be written";

// Messages are shown exactly; a newline is added only where the text has none of its own.
void ShowMessage(std::ostream& err, std::string_view message) {
  err << message;
  if (message.empty() || message.back() != '\n') {
    err << '\n';
  }
}

// Reads the parameters of the design file at `path` into `spec`, and the chunks of a later
// version into `kept`. Returns true when the run goes on (the file loaded, or held no byte and
// so left the parameters as they were); otherwise the refusal has been shown.
bool OpenDesign(const std::string& path, FilterSpec& spec, KeptChunks& kept, std::ostream& err) {
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
  const LoadOutcome outcome = LoadDesignFile(file, spec, kept);
  if (outcome == LoadOutcome::Loaded || outcome == LoadOutcome::Empty) {
    return true;
  }
  ShowMessage(err, LoadOutcomeMessage(outcome));
  return false;
}

// The streams of one run, and what the standard ones add.
struct Streams {
  std::istream& in;
  std::ostream& out;
  std::ostream& err;
  std::function<void()> interruptInput;  // ends a read that waits for input; may be empty
  std::function<int()> outputError;      // the system's reason for a failed output, or 0
};

// What is printed on `out` is buffered, so a failure to write it (a full disk, a closed
// descriptor) may show only here, at the last flush; it fails the run.
ExitStatus FinishOutput(ExitStatus status, const Streams& streams) {
  if (streams.out.flush()) {
    return status;
  }
  const int reason = streams.outputError();
  streams.err << kOutputFailedMessage;
  if (reason != 0) {
    streams.err << ": " << std::generic_category().message(reason);
  }
  streams.err << '\n';
  return ExitStatus::OutputFailed;
}

ExitStatus Run(int argc, const char* const* argv, const Streams& streams) {
  std::ostream& out = streams.out;
  std::ostream& err = streams.err;
  CliOptions options;
  if (const auto status = ParseCliOptions(argc, argv, options, out, err)) {
    return FinishOutput(*status, streams);
  }
  if (options.batch) {
    // A failed output ends the run quietly, as a closed pipe would.
    return RunBatch(streams.in, out, err, options.jobs.value_or(DefaultBatchJobs()),
                    options.outputs.fields, streams.interruptInput);
  }

  FilterSpec spec;  // a new design: the defaults
  // --save writes again what the opened file held for a later version.
  if (options.openPath && !OpenDesign(*options.openPath, spec, options.outputs.keptChunks, err)) {
    return ExitStatus::Refused;
  }
  ApplyOverrides(options.overrides, spec);
  if (const auto usage = ApplyFormRules(options.overrides, spec)) {
    ShowMessage(err, *usage);
    return ExitStatus::Usage;
  }

  const Calculation calculation = Calculate(spec);
  if (!calculation.Succeeded()) {
    ShowMessage(err, calculation.outcome.message);
    return ExitStatus::Refused;
  }
  return FinishOutput(WriteOutputs(options.outputs, calculation, out, err), streams);
}

}  // namespace

int RunCli(int argc, const char* const* argv, std::istream& in, std::ostream& out,
           std::ostream& err) {
  return static_cast<int>(Run(argc, argv, {in, out, err, {}, [] { return 0; }}));
}

int RunCli(int argc, const char* const* argv, std::ostream& err) {
  StandardInput input(STDIN_FILENO);
  StandardOutput output(STDOUT_FILENO);
  std::istream in(&input);
  std::ostream out(&output);
  return static_cast<int>(
      Run(argc, argv,
          {in, out, err, [&input] { input.Interrupt(); }, [&output] { return output.Error(); }}));
}

}  // namespace qv::cli
