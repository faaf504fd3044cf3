// OutputFile across processes: the temporary files that killed writers leave, writers of other
// PID namespaces, writers killed at any moment, and another user's file in a sticky directory. The
// kills and the other user run in child processes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

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

// Holds the temporary file `path` as a writer does while it writes, for as long as it lives.
class HeldFile {
 public:
  explicit HeldFile(const std::string& path)
      : descriptor_(::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600)) {
    EXPECT_EQ(::flock(descriptor_, LOCK_EX | LOCK_NB), 0) << path;
  }
  ~HeldFile() { ::close(descriptor_); }
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;

 private:
  int descriptor_;
};

// Whose process the name gives does not count: it may be of another PID namespace, or another
// process of the same number. Only a file that no writer holds is left over.
TEST_F(OutputFileProcessTest, NextWriteRemovesTheTemporaryFilesNoWriterHolds) {
  const pid_t ended = EndedProcess();
  const pid_t running = ::getpid();
  fs::create_directories(Path("sub"));
  fs::create_directories(Path(Stale(ended, "-5.tmp")));
  enum class Kind { File, Held, Pipe, Link };
  const struct {
    std::string name;
    Kind kind;
    bool removed;
  } cases[] = {
      {Stale(ended, "-0.tmp"), Kind::File, true},
      {Stale(ended, "-4294967295.tmp"), Kind::File, true},
      {Stale(running, "-3.tmp"), Kind::File, true},
      {Stale(running, "-4.tmp"), Kind::Held, false},
      {Stale(ended, "-6.tmp"), Kind::Held, false},
      {Stale(ended, "-7.tmp"), Kind::Pipe, false},
      {Stale(ended, "-8.tmp"), Kind::Link, false},
      {Stale(ended, "-01.tmp"), Kind::File, false},
      {Stale(ended, "-4294967296.tmp"), Kind::File, false},
      {Stale(ended, "-2.tmp.part"), Kind::File, false},
      {Stale(ended, "-.tmp"), Kind::File, false},
      {".quorvanel--2.tmp", Kind::File, false},
      {".quorvanel-0-2.tmp", Kind::File, false},
      {"sub/" + Stale(ended, "-1.tmp"), Kind::File, false},
  };
  std::set<std::string> kept = {"sub", "target", Stale(ended, "-5.tmp")};
  std::vector<std::unique_ptr<HeldFile>> held;
  for (const auto& c : cases) {
    const std::string path = Path(c.name);
    if (c.kind == Kind::Pipe) {
      ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    } else if (c.kind == Kind::Link) {
      test::WriteBytes(Path("linked"), kPrevious);
      kept.insert("linked");
      fs::create_symlink("linked", path);
    } else {
      test::WriteBytes(path, kPrevious);
    }
    if (c.kind == Kind::Held) {
      held.push_back(std::make_unique<HeldFile>(path));
    }
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

// Two writers into one directory, one of them in a PID namespace of its own, as in a container
// that shares the directory: the outside writer's process is invisible inside, and its number
// there may be another process's. The inside writer's cleanup must leave the temporary file of
// the outside writer, held here between its creation and its rename, to finish.
TEST_F(OutputFileProcessTest, WriterOfAnotherPidNamespaceLeavesALiveWritersFileAlone) {
  if (test::RunInChild([] { return ::unshare(CLONE_NEWPID) == 0 && HideProcessFiles(); },
                       [](std::string&) { return 0; })
          .status != 0) {
    GTEST_SKIP() << "making PID and mount namespaces (unshare) needs root outside a restricted "
                    "container";
  }
  std::array<int, 2> ready{};
  std::array<int, 2> go{};
  ASSERT_EQ(::pipe(ready.data()), 0);
  ASSERT_EQ(::pipe(go.data()), 0);
  const pid_t outside = ::fork();
  if (outside == 0) {
    // Named from the start, so that the file is there for the other writer's cleanup to see.
    if (!HideProcessFiles()) {
      ::_exit(2);
    }
    OutputFile output(Path("target"));
    output.Stream() << kNew;
    char signal = 0;
    const bool held = ::write(ready[1], "h", 1) == 1 && ::read(go[0], &signal, 1) == 1;
    ::_exit(held && output.Commit() ? 0 : 1);
  }
  ASSERT_GT(outside, 0);
  char signal = 0;
  ASSERT_EQ(::read(ready[0], &signal, 1), 1);
  ASSERT_EQ(Names().size(), 1u) << "the outside writer's temporary file";
  const test::ChildRun inside =
      test::RunInChild([] { return ::unshare(CLONE_NEWPID) == 0; },
                       [this](std::string& report) {
                         // The first child of the new namespace is its process 1.
                         const pid_t writer = ::fork();
                         if (writer == 0) {
                           OutputFile output(Path("inside"));
                           output.Stream() << kNew;
                           ::_exit(output.Commit() ? 0 : 1);
                         }
                         int status = 0;
                         report = ::waitpid(writer, &status, 0) == writer && WIFEXITED(status) &&
                                          WEXITSTATUS(status) == 0
                                      ? "written"
                                      : "failed";
                         return 0;
                       });
  EXPECT_EQ(inside.text, "written");
  ASSERT_EQ(::write(go[1], "g", 1), 1);
  int status = 0;
  ASSERT_EQ(::waitpid(outside, &status, 0), outside);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the outside writer failed";
  EXPECT_EQ(test::ReadBytes(Path("target")), kNew);
  EXPECT_EQ(Names(), (std::set<std::string>{"inside", "target"}));
  for (const int end : {ready[0], ready[1], go[0], go[1]}) {
    ::close(end);
  }
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
