// Whole runs of the command-line tool, as a script calls it, measured in wall time: the bare
// start (--version), one design with --json (process start, Calculate and the printout), and
// default designs or a mix of
// valid ones through --batch in one process, with one job and with every core. The program is
// looked up next to this one (<build>/cli/quorvanel-cli), or named by QUORVANEL_CLI.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <fmt/format.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "cli/outputs.h"
#include "engine/calculate.h"

extern char** environ;

namespace {

std::string CliPath() {
  if (const char* named = std::getenv("QUORVANEL_CLI")) {
    return named;
  }
  std::error_code ignored;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", ignored);
  return (self.parent_path().parent_path() / "cli" / "quorvanel-cli").string();
}

// CPU time (user and system) of the finished child processes so far, in seconds.
double ChildrenCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  const auto seconds = [](const timeval& t) {
    constexpr double kMicro = 1e-6;
    return static_cast<double>(t.tv_sec) + kMicro * static_cast<double>(t.tv_usec);
  };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Runs `program` with `args` until the benchmark ends, standard input from `input` and
// standard output to `output` (created or truncated).
void RunProgram(benchmark::State& state, std::vector<std::string> args, const char* input,
                const char* output = "/dev/null") {
  args.insert(args.begin(), CliPath());
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, input, O_RDONLY, 0);
  constexpr mode_t kReadWrite = 0644;
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output, O_WRONLY | O_CREAT | O_TRUNC,
                                   kReadWrite);
  for (auto _ : state) {
    pid_t child = 0;
    int status = 0;
    if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) != 0 ||
        waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      state.SkipWithError(("cannot run " + args[0] + " " + args[1]).c_str());
      break;
    }
  }
  posix_spawn_file_actions_destroy(&actions);
}

void CliStartRun(benchmark::State& state) { RunProgram(state, {"--version"}, "/dev/null"); }

void CliJsonRun(benchmark::State& state) { RunProgram(state, {"--json"}, "/dev/null"); }

std::string ScratchPath(const std::string& name) {
  return (std::filesystem::temp_directory_path() /
          ("quorvanel-bench-" + std::to_string(getpid()) + "-" + name))
      .string();
}

// Specifications of every class, band and model, with random frequencies, orders, taps and
// quantisations, each one that Calculate accepts: what a sweep sends.
std::vector<std::string> ValidMix(int count) {
  std::mt19937 random(21);
  const auto pick = [&random](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  std::vector<std::string> lines;
  while (static_cast<int>(lines.size()) < count) {
    qv::FilterSpec spec;
    spec.filterClass = static_cast<qv::FilterClass>(pick(0, 1));
    spec.bandType = static_cast<qv::BandType>(pick(0, 3));
    const int lastModel = spec.filterClass == qv::FilterClass::Fir ? 4 : 2;
    spec.model = static_cast<qv::FilterModel>(pick(0, lastModel));
    spec.order = pick(1, qv::kMaxOrder);
    spec.fsample = 1000 * pick(1, 48);
    spec.fcut1 = pick(1, spec.fsample / 2);
    spec.fcut2 = pick(spec.fcut1, spec.fsample / 2);
    spec.taps = pick(3, qv::kMaxTaps);
    spec.quantization = static_cast<qv::Quantization>(pick(0, 2));
    const std::string line = fmt::format(
        R"({{"filterClass":{},"bandType":{},"model":{},"order":{},"fsample":{},"fcut1":{},)"
        R"("fcut2":{},"taps":{},"quantization":{}}})",
        static_cast<int>(spec.filterClass), static_cast<int>(spec.bandType),
        static_cast<int>(spec.model), spec.order, spec.fsample, spec.fcut1, spec.fcut2, spec.taps,
        static_cast<int>(spec.quantization));
    if (qv::Calculate(spec).Succeeded()) {
      lines.push_back(line);
    }
  }
  return lines;
}

// Arguments: lines, 0 for default designs or 1 for the valid mix, --jobs (0: the default,
// every core), and 0 for the whole answers or 1 for --fields design. Items are designs:
// items_per_second is designs per second of wall time, the output going to a file as a script's
// would.
void CliBatchRun(benchmark::State& state) {
  const auto lines = static_cast<int>(state.range(0));
  const std::string input = ScratchPath("input");
  const std::string output = ScratchPath("output");
  {
    std::ofstream file(input);
    if (state.range(1) == 0) {
      for (int i = 0; i < lines; ++i) file << "{}\n";
    } else {
      for (const std::string& line : ValidMix(lines)) file << line << '\n';
    }
  }
  std::vector<std::string> args = {"--batch"};
  if (state.range(2) > 0) args.push_back("--jobs=" + std::to_string(state.range(2)));
  if (state.range(3) == 1) args.push_back("--fields=design");
  const double cpuBefore = ChildrenCpuSeconds();
  RunProgram(state, args, input.c_str(), output.c_str());
  const auto designs = static_cast<double>(state.iterations() * lines);
  state.SetItemsProcessed(state.iterations() * lines);
  state.counters["designs_per_cpu_second"] = designs / (ChildrenCpuSeconds() - cpuBefore);
  std::filesystem::remove(input);
  std::filesystem::remove(output);
}

// 200,000 default designs on every core, output discarded: the largest resident set of the
// program (max_rss_mb), which a window of lines in flight keeps flat whatever the input.
void CliBatchMemory(benchmark::State& state) {
  constexpr int kLines = 200000;
  const std::string input = ScratchPath("memory-input");
  {
    std::ofstream file(input);
    for (int i = 0; i < kLines; ++i) file << "{}\n";
  }
  RunProgram(state, {"--batch"}, input.c_str());
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  constexpr double kKilobytesPerMegabyte = 1024.0;
  state.counters["max_rss_mb"] = static_cast<double>(usage.ru_maxrss) / kKilobytesPerMegabyte;
  state.SetItemsProcessed(state.iterations() * kLines);
  std::filesystem::remove(input);
}

BENCHMARK(CliStartRun)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(CliJsonRun)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(CliBatchRun)
    ->ArgNames({"lines", "mix", "jobs", "fields"})
    ->Args({5000, 0, 1, 0})
    ->Args({5000, 0, 0, 0})
    ->Args({50000, 0, 1, 0})
    ->Args({50000, 0, 2, 0})
    ->Args({50000, 0, 1, 1})
    ->Args({50000, 0, 2, 1})
    ->Args({5000, 1, 1, 0})
    ->Args({5000, 1, 0, 0})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(CliBatchMemory)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
