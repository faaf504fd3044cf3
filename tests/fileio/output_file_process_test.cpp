// OutputFile across processes: the temporary files that killed writers leave, writers killed
// at any moment, and another user's file in a sticky directory. The kills and the other user
// run in child processes.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <functional>
#include <set>
#include <string>

#include "fileio/output_file.h"
#include "tests/support/child_process.h"
#include "tests/support/scratch_directory.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

const std::string kPrevious = "the previous contents of the target\n";
const std::string kNew = "the new contents\n";
// Rounds of the kill test; round k kills the writer k steps after its start, modulo the steps.
constexpr int kKillRounds = 30;
constexpr int kKillSteps = 15;
constexpr useconds_t kKillStepMicroseconds = 500;
// Each killed writer writes files this long over the target, one letter each, so that a torn
// file shows as a wrong length or a mixture of letters.
constexpr std::size_t kKilledFileSize = 1 << 18;
constexpr int kLetters = 26;

std::string Stale(pid_t process, const std::string& rest) {
  return ".quorvanel-" + std::to_string(process) + rest;
}

// The id of a process that has ended and been reaped.
pid_t EndedProcess() {
  const pid_t child = ::fork();
  if (child == 0) {
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return child;
}

// Writes whole files over `path` until killed.
[[noreturn]] void WriteUntilKilled(const std::string& path) {
  for (unsigned round = 0;; ++round) {
    OutputFile output(path);
    const std::string bytes(kKilledFileSize, static_cast<char>('a' + round % kLetters));
    output.Stream().write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    output.Commit();
  }
}

bool IsWholeFile(const std::string& bytes) {
  return bytes.size() == kKilledFileSize &&
         bytes.find_first_not_of(bytes.front()) == std::string::npos;
}

// Hides /proc from the process, so that no unnamed file can be given a name: OutputFile then
// writes named temporary files, the way it does where the system has no unnamed files.
bool HideProcessFiles() {
  return ::unshare(CLONE_NEWNS) == 0 &&
         ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
         ::mount("none", "/proc", "tmpfs", 0, nullptr) == 0;
}

class OutputFileProcessTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return scratch_.Path(name); }
  std::set<std::string> Names(const std::string& name = "") const { return scratch_.Names(name); }

 private:
  test::ScratchDirectory scratch_{"quorvanel-output-process"};
};

TEST_F(OutputFileProcessTest, NextWriteRemovesTheTemporaryFilesOfEndedProcessesOnly) {
  const pid_t ended = EndedProcess();
  const pid_t running = ::getpid();
  fs::create_directories(Path("sub"));
  fs::create_directories(Path(Stale(ended, "-5.tmp")));
  const struct {
    std::string name;
    bool removed;
  } cases[] = {
      {Stale(ended, "-0.tmp"), true},
      {Stale(ended, "-4294967295.tmp"), true},
      {Stale(running, "-3.tmp"), false},
      {Stale(ended, "-01.tmp"), false},
      {Stale(ended, "-4294967296.tmp"), false},
      {Stale(ended, "-2.tmp.part"), false},
      {Stale(ended, "-.tmp"), false},
      {".quorvanel--2.tmp", false},
      {".quorvanel-0-2.tmp", false},
      {"sub/" + Stale(ended, "-1.tmp"), false},
  };
  std::set<std::string> kept = {"sub", "target", Stale(ended, "-5.tmp")};
  for (const auto& c : cases) {
    test::WriteBytes(Path(c.name), kPrevious);
    if (!c.removed && c.name.find('/') == std::string::npos) {
      kept.insert(c.name);
    }
  }
  OutputFile output(Path("target"));
  output.Stream() << kNew;
  ASSERT_TRUE(output.Commit());
  EXPECT_EQ(Names(), kept);
  EXPECT_EQ(Names("sub"), std::set<std::string>{Stale(ended, "-1.tmp")});
}

class KilledWriters : public OutputFileProcessTest, public ::testing::WithParamInterface<bool> {};

// Whatever moment a writer is killed at, the target is the previous file or a whole new one,
// and what the killed writer left is gone after the next write.
TEST_P(KilledWriters, LeaveAWholeTargetAndNothingTheNextWriteKeeps) {
  const bool named = GetParam();
  if (named && test::RunInChild(HideProcessFiles, [](std::string&) { return 0; }).status != 0) {
    GTEST_SKIP() << "only root with the right to mount may hide /proc";
  }
  const std::string path = Path("target");
  for (int round = 0; round < kKillRounds; ++round) {
    const pid_t writer = ::fork();
    if (writer == 0) {
      if (named && !HideProcessFiles()) {
        ::_exit(1);
      }
      WriteUntilKilled(path);
    }
    ASSERT_GT(writer, 0);
    ::usleep(kKillStepMicroseconds * static_cast<useconds_t>(round % kKillSteps));
    ::kill(writer, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(writer, &status, 0), writer);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer could not start";
    const std::string bytes = test::ReadBytes(path);
    EXPECT_TRUE(bytes.empty() ? !fs::exists(path) : IsWholeFile(bytes)) << "round " << round;
  }
  OutputFile output(path);
  output.Stream() << kNew;
  ASSERT_TRUE(output.Commit());
  EXPECT_EQ(test::ReadBytes(path), kNew);
  EXPECT_EQ(Names(), std::set<std::string>{"target"});
}

INSTANTIATE_TEST_SUITE_P(TemporaryFiles, KilledWriters, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& param) {
                           return param.param ? "Named" : "Unnamed";
                         });

// A rename over another user's file in a sticky directory fails, so such a file is refused
// before anything is written; the user's own file there is replaced as anywhere else.
TEST_F(OutputFileProcessTest, StickyDirectoryRefusesAnotherUsersFileBeforeWriting) {
  const test::OtherUser nobody = test::Nobody();
  if (!nobody.available) {
    GTEST_SKIP() << "needs root to act as the user nobody";
  }
  fs::create_directories(Path("sticky"));
  fs::permissions(Path("sticky"), fs::perms::all | fs::perms::sticky_bit);
  const struct {
    const char* name;
    bool theirs;  // owned by root rather than by nobody
    std::string report;
    std::string contents;
  } cases[] = {
      {"theirs", true, "refused " + std::to_string(EPERM), kPrevious},
      {"own", false, "replaced", kNew},
  };
  for (const auto& c : cases) {
    const std::string path = Path(std::string("sticky/") + c.name);
    test::WriteBytes(path, kPrevious);
    // Writable for all: only the directory's sticky bit stands in the way.
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                              fs::perms::group_write | fs::perms::others_read |
                              fs::perms::others_write);
    if (!c.theirs) {
      ASSERT_EQ(::chown(path.c_str(), nobody.user, nobody.group), 0);
    }
    const test::ChildRun run = test::RunAs(nobody, [&](std::string& report) {
      OutputFile output(path);
      if (!output.IsOpen()) {
        report = "refused " + std::to_string(output.Error());
        return 0;
      }
      output.Stream() << kNew;
      report = output.Commit() ? "replaced" : "failed " + std::to_string(output.Error());
      return 0;
    });
    EXPECT_EQ(run.status, 0) << c.name;
    EXPECT_EQ(run.text, c.report) << c.name;
    EXPECT_EQ(test::ReadBytes(path), c.contents) << c.name;
  }
  EXPECT_EQ(Names("sticky"), (std::set<std::string>{"own", "theirs"}));
}

}  // namespace
}  // namespace qv
