// One whole run of the command-line tool with --json, as a script calls it: process start,
// Calculate and the printout, measured in wall time. The program is looked up next to this
// one (<build>/cli/quorvanel-cli), or named by QUORVANEL_CLI.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

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

void CliJsonRun(benchmark::State& state) {
  const std::string program = CliPath();
  char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>("--json"), nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  for (auto _ : state) {
    pid_t child = 0;
    int status = 0;
    if (posix_spawn(&child, program.c_str(), &actions, nullptr, argv, environ) != 0 ||
        waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      state.SkipWithError(("cannot run " + program + " --json").c_str());
      break;
    }
  }
  posix_spawn_file_actions_destroy(&actions);
}

BENCHMARK(CliJsonRun)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
