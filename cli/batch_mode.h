// quorvanel-cli --batch: many designs in one run, one JSON specification per input line and
// one JSON result per output line, the lines answered by worker threads side by side.
#pragma once

#include <functional>
#include <istream>
#include <ostream>

#include "cli/exit_status.h"
#include "cli/json_fields.h"

namespace qv::cli {

// The most worker threads --jobs takes: each holds a calculation and a few lines in flight.
inline constexpr int kMaxBatchJobs = 256;

// Worker threads without --jobs: one per core the system reports (at least 1, at most
// kMaxBatchJobs).
int DefaultBatchJobs();

// Reads `in` line by line to its end and writes one line to `out` for each, in input order
// (AnswerBatchLine), whatever the number of `jobs` (1 to kMaxBatchJobs): with 1 the lines are
// answered one after another on this thread, else on `jobs` worker threads, with a few lines
// per job in flight, so memory stays flat whatever the input length. Output is flushed
// whenever the next answer is not ready yet (with 1 job: after every line). Returns
// ExitStatus::Success once the input has ended; ExitStatus::OutputFailed as soon as `out` fails,
// without reading further; ExitStatus::Refused when `in` cannot be read (the lines before are
// answered, and the reason goes to `err`). Each answer prints the items of `fields`. With more than
// one job the output fails on one worker thread while another may be waiting for input:
// `interruptInput`, when given, is then called (from that thread) to end the wait, so the run
// ends at once rather than when more input arrives.
[[nodiscard]] ExitStatus RunBatch(std::istream& in, std::ostream& out, std::ostream& err, int jobs,
                                  const JsonFields& fields = {},
                                  const std::function<void()>& interruptInput = {});

}  // namespace qv::cli
