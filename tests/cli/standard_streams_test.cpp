// The built program's own standard streams: a standard output that cannot be written fails the
// run with its reason, files named by the standard output's descriptor are written into it in
// order, and --batch on worker threads ends as soon as its output fails, input or none.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <string>
#include <thread>

#include "cli/exit_status.h"
#include "tests/support/cli_runner.h"
#include "tests/support/scratch_directory.h"

namespace qv::cli {
namespace {

// A design that every output takes: the estimate needs a quantised FIR filter.
const std::string kFirDesign = "--class fir --quant 16 ";
// How long a run may take before it counts as waiting for input it does not need.
constexpr auto kEndedBy = std::chrono::seconds(20);
constexpr auto kPollStep = std::chrono::milliseconds(10);

class StandardStreams : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return scratch_.Path(name); }

  // Runs the program with `arguments` and the shell redirections `redirect`; returns its exit
  // status, with its standard error in `err`.
  int Run(const std::string& arguments, const std::string& redirect, std::string& err) const {
    const int status =
        test::RunCliShell("\"$CLI\" " + arguments + " " + redirect + " 2>'" + Path("err") + "'");
    err = test::ReadBytes(Path("err"));
    return status;
  }

 private:
  test::ScratchDirectory scratch_{"quorvanel-standard-streams"};
};

// Output that was buffered fails when it is flushed at the end at the latest; the run then
// fails and says why, whatever printed it.
TEST_F(StandardStreams, OutputThatCannotBeWrittenFailsTheRunWithItsReason) {
  const std::string noSpace = "Standard output cannot be written: No space left on device\n";
  const std::string closed = "Standard output cannot be written: Bad file descriptor\n";
  const struct {
    std::string arguments;
    std::string redirect;
    std::string err;
  } cases[] = {
      {kFirDesign + "--estimate", ">/dev/full", noSpace},
      {kFirDesign + "--estimate", ">&-", closed},
      {"--json", ">/dev/full", noSpace},
      {"--json", ">&-", closed},
      {kFirDesign + "--estimate --json", ">/dev/full", noSpace},
      {"--help", ">/dev/full", noSpace},
      {"--version", ">&-", closed},
  };
  for (const auto& c : cases) {
    std::string err;
    EXPECT_EQ(Run(c.arguments, c.redirect, err), static_cast<int>(ExitStatus::OutputFailed))
        << c.arguments << c.redirect;
    EXPECT_EQ(err, c.err) << c.arguments << c.redirect;
  }
}

// A file named as the standard output goes into it where it stands among the printouts, also
// when the standard output is a regular file.
TEST_F(StandardStreams, FilesWrittenThroughTheStandardOutputKeepTheirPlace) {
  std::string err;
  ASSERT_EQ(Run("--c '" + Path("alone.c") + "' --json", ">'" + Path("alone.json") + "'", err),
            static_cast<int>(ExitStatus::Success));
  ASSERT_EQ(Run(kFirDesign + "--estimate --csv '" + Path("alone.csv") + "'",
                ">'" + Path("estimate") + "'", err),
            static_cast<int>(ExitStatus::Success));
  const struct {
    std::string arguments;
    std::string expected;
  } cases[] = {
      {"--c /dev/stdout --json",
       test::ReadBytes(Path("alone.c")) + test::ReadBytes(Path("alone.json"))},
      {"--c /proc/self/fd/1 --json",
       test::ReadBytes(Path("alone.c")) + test::ReadBytes(Path("alone.json"))},
      {kFirDesign + "--estimate --csv /dev/fd/1",
       test::ReadBytes(Path("estimate")) + test::ReadBytes(Path("alone.csv"))},
  };
  for (const auto& c : cases) {
    for (const std::string redirect : {">", ">>"}) {
      test::WriteBytes(Path("both"), "");
      EXPECT_EQ(Run(c.arguments, redirect + "'" + Path("both") + "'", err),
                static_cast<int>(ExitStatus::Success))
          << c.arguments << err;
      EXPECT_TRUE(test::ReadBytes(Path("both")) == c.expected) << c.arguments << redirect;
    }
  }
}

// The reader may be waiting for the next line when a worker finds the output failed: the run
// ends then, not when more input comes.
TEST_F(StandardStreams, BatchOnWorkersEndsWhenItsOutputFailsWithoutMoreInput) {
  const std::string program = test::CliProgram();
  ASSERT_FALSE(program.empty());
  for (const char* jobs : {"1", "2", "7"}) {
    std::array<int, 2> input{};
    ASSERT_EQ(::pipe2(input.data(), O_CLOEXEC), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/full", O_WRONLY, 0);
    const std::array<const char*, 5> argv = {program.c_str(), "--batch", "--jobs", jobs, nullptr};
    pid_t child = -1;
    const int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr,
                                    const_cast<char* const*>(argv.data()), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(input[0]);
    ASSERT_EQ(spawned, 0);
    const std::string line = "{}\n";
    EXPECT_EQ(::write(input[1], line.data(), line.size()), static_cast<ssize_t>(line.size()));
    // The input stays open, with nothing more on it, until the program has ended or the time
    // is up.
    int status = 0;
    pid_t ended = 0;
    const auto deadline = std::chrono::steady_clock::now() + kEndedBy;
    while ((ended = ::waitpid(child, &status, WNOHANG)) == 0 &&
           std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(kPollStep);
    }
    ::close(input[1]);
    if (ended == 0) {
      ADD_FAILURE() << jobs << " jobs: still running while its input waits";
      ::waitpid(child, &status, 0);
      continue;
    }
    ASSERT_TRUE(WIFEXITED(status)) << jobs;
    EXPECT_EQ(WEXITSTATUS(status), static_cast<int>(ExitStatus::OutputFailed)) << jobs;
  }
}

}  // namespace
}  // namespace qv::cli
