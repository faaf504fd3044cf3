// The command line of quorvanel-cli: the design file to start from, the fields to override and
// the outputs to produce.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

#include "cli/exit_status.h"
#include "cli/outputs.h"
#include "records/filter_spec.h"

namespace qv::cli {

// One or two band edges as --pass and --stop give them, in Hz.
struct BandEdges {
  std::array<double, 2> hz{};  // the second 0 when one edge is given
  int count = 0;               // 1 or 2
};

// The specification fields given on the command line; an empty field keeps its value.
struct SpecOverrides {
  std::optional<FilterClass> filterClass;    // --class iir|fir
  std::optional<BandType> bandType;          // --band lowpass|highpass|bandpass|bandstop
  std::optional<FilterModel> model;          // --model butterworth|...|raised-cosine
  std::optional<std::int32_t> fsample;       // --fs, Hz
  std::optional<std::int32_t> fcut1;         // --fc1, Hz
  std::optional<std::int32_t> fcut2;         // --fc2, Hz
  std::optional<std::int32_t> order;         // --order
  std::optional<std::int32_t> taps;          // --taps
  std::optional<double> ripple;              // --ripple, dB
  std::optional<double> rollOff;             // --rolloff
  std::optional<Quantization> quantization;  // --quant float|8|16
  // The tolerance scheme: giving --pass or --stop sets a scheme.
  std::optional<BandEdges> passEdges;            // --pass HZ[,HZ]
  std::optional<BandEdges> stopEdges;            // --stop HZ[,HZ]
  std::optional<double> attenuation;             // --atten, dB
  bool minimumOrder = false;                     // --min-order
  std::optional<IirStructure> structure;         // --structure direct|sections
  std::optional<SectionScaling> sectionScaling;  // --scaling linf|l2
};

struct CliOptions {
  bool batch = false;                   // --batch: specifications from standard input
  std::optional<int> jobs;              // --jobs N: worker threads of --batch
  std::optional<std::string> openPath;  // --open FILE.qvd
  SpecOverrides overrides;
  OutputOptions outputs;
};

// Parses argv[1..argc-1] into `options`. Returns no value when the program goes on; otherwise
// the exit status to end with: ExitStatus::Success after --help (usage on `out`) or --version
// (version line on `out`), ExitStatus::Usage after a usage error (its message, naming the option,
// on `err`). --batch combined with any other option than --jobs is a usage error, and so is
// --jobs without --batch or outside 1 to kMaxBatchJobs.
[[nodiscard]] std::optional<ExitStatus> ParseCliOptions(int argc, const char* const* argv,
                                                        CliOptions& options, std::ostream& out,
                                                        std::ostream& err);

// Writes every given field of `overrides` into `spec`.
void ApplyOverrides(const SpecOverrides& overrides, FilterSpec& spec);

// What the parameter form would do before calculating: for low and high pass fcut2 takes
// fcut1. Returns the usage message when the command line asks for an IIR filter with an
// FIR-only model (rectangle, raised cosine, Kaiser, equiripple), which the form does not allow,
// or gives --pass or --stop another number of edges than the band type has (one for low and
// high pass, two for band pass and band stop); else no value.
std::optional<std::string> ApplyFormRules(const SpecOverrides& overrides, FilterSpec& spec);

}  // namespace qv::cli
