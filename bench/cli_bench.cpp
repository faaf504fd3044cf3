// Whole runs of the command-line tool, as a script calls it, measured in wall time: one design
// with --json (process start, Calculate and the printout), and 10,000 default designs through
// --batch in one process. The program is looked up next to this one
// (<build>/cli/quorvanel-cli), or named by QUORVANEL_CLI.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

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
// standard output to /dev/null.
void RunProgram(benchmark::State& state, std::vector<std::string> args, const char* input) {
  args.insert(args.begin(), CliPath());
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, input, O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
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

void CliJsonRun(benchmark::State& state) { RunProgram(state, {"--json"}, "/dev/null"); }

// Items are designs: items_per_second is the designs per second of one process.
void CliBatchRun(benchmark::State& state) {
  constexpr int kLines = 10000;
  const std::string input =
      (std::filesystem::temp_directory_path() / ("quorvanel-batch-" + std::to_string(getpid())))
          .string();
  {
    std::ofstream lines(input);
    for (int i = 0; i < kLines; ++i) lines << "{}\n";
  }
  const double cpuBefore = ChildrenCpuSeconds();
  RunProgram(state, {"--batch"}, input.c_str());
  state.SetItemsProcessed(state.iterations() * kLines);
  // The program's own CPU time: designs per second on one core, whatever else runs.
  state.counters["designs_per_cpu_second"] = static_cast<double>(state.iterations() * kLines) /
                                             (ChildrenCpuSeconds() - cpuBefore);
  std::filesystem::remove(input);
}

BENCHMARK(CliJsonRun)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(CliBatchRun)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
