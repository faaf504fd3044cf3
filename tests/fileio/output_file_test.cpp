// OutputFile on its own: the bytes of both write views, an abandoned file that leaves the target
// alone, link chains, targets that are not replaced but written or refused (this process's own
// descriptors among them), the permission bits a replacement takes, paths near the system's
// limit, sticky directories, and processes killed while writing. The failures of each
// output through both views are tested with quorvanel-cli (tests/cli).
#include "fileio/output_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>

#include "tests/support/child_process.h"
#include "tests/support/scratch_directory.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

const std::string kPrevious = "the previous contents of the target\n";
// The directories of a long path have names this long, well below the system's name limit.
constexpr std::size_t kLongPathComponent = 200;
// The device numbers of the memory devices behind /dev/null and /dev/full.
constexpr unsigned kMemoryDevices = 1;
constexpr unsigned kNullDevice = 3;
constexpr unsigned kFullDevice = 7;
constexpr std::size_t kPipeReadSize = 64;

class OutputFileTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return scratch_.Path(name); }
  std::set<std::string> Names(const std::string& name = "") const { return scratch_.Names(name); }

 private:
  test::ScratchDirectory scratch_{"quorvanel-output-file"};
};

TEST_F(OutputFileTest, BothViewsWriteTheirBytesInOrderOverALongerFile) {
  const std::string path = Path("out");
  test::WriteBytes(path, std::string(4 * kPrevious.size(), 'x'));
  {
    OutputFile output(path);
    ASSERT_TRUE(output.IsOpen());
    std::fputs("abc\n", output.File());
    output.Stream() << "def\r\n" << 42;
    std::fputc('\0', output.File());
    output.Stream().put('\xff');
    EXPECT_TRUE(output.Commit());
    EXPECT_FALSE(output.IsOpen());
  }
  EXPECT_EQ(test::ReadBytes(path), std::string("abc\ndef\r\n42\0\xff", 13));
  EXPECT_EQ(Names(), std::set<std::string>{"out"});
}

TEST_F(OutputFileTest, AbandonedFileLeavesTheTargetAsItWas) {
  test::WriteBytes(Path("kept"), kPrevious);
  for (const char* name : {"kept", "absent"}) {
    OutputFile output(Path(name));
    ASSERT_TRUE(output.IsOpen());
    output.Stream() << "never committed";
  }
  EXPECT_EQ(test::ReadBytes(Path("kept")), kPrevious);
  EXPECT_EQ(Names(), std::set<std::string>{"kept"});
}

TEST_F(OutputFileTest, ChainOfRelativeLinksEndingNowhereCreatesItsLastTarget) {
  fs::create_directories(Path("sub"));
  fs::create_symlink("sub/second", Path("first"));
  fs::create_symlink("../final", Path("sub/second"));
  OutputFile output(Path("first"));
  ASSERT_TRUE(output.IsOpen());
  output.Stream() << "linked";
  ASSERT_TRUE(output.Commit());
  EXPECT_TRUE(fs::is_symlink(Path("first")));
  EXPECT_TRUE(fs::is_symlink(Path("sub/second")));
  EXPECT_EQ(test::ReadBytes(Path("final")), "linked");
  EXPECT_EQ(Names(), (std::set<std::string>{"final", "first", "sub"}));
}

TEST_F(OutputFileTest, RefusedTargetsGiveTheirCauseAndChangeNothing) {
  fs::create_directories(Path("directory"));
  fs::create_symlink("loop-b", Path("loop-a"));
  fs::create_symlink("loop-a", Path("loop-b"));
  const struct {
    std::string path;
    int error;
  } cases[] = {
      {"", ENOENT},
      {Path("directory"), EISDIR},
      {Path("directory") + "/", EISDIR},
      {Path("directory/.."), EISDIR},
      {Path("missing/file"), ENOENT},
      {Path("loop-a"), ELOOP},
  };
  for (const auto& c : cases) {
    const OutputFile output(c.path);
    EXPECT_FALSE(output.IsOpen()) << c.path;
    EXPECT_EQ(output.Error(), c.error) << c.path;
  }
  EXPECT_EQ(Names(), (std::set<std::string>{"directory", "loop-a", "loop-b"}));
}

// Root may write any file, so root's run tries it as another user.
TEST_F(OutputFileTest, FileTheUserMayNotWriteIsNotReplaced) {
  const std::string path = Path("read-only");
  test::WriteBytes(path, kPrevious);
  fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  const auto refuse = [&path](std::string& report) {
    const OutputFile output(path);
    report = output.IsOpen() ? "open" : std::to_string(output.Error());
    return 0;
  };
  std::string report;
  if (::geteuid() == 0) {
    const test::OtherUser nobody = test::Nobody();
    if (!nobody.available) {
      GTEST_SKIP() << "root may write any file, and there is no other user";
    }
    // The directory lets the other user add files: only the file's own bits stand in the way.
    fs::permissions(Path(""), fs::perms::all);
    report = test::RunAs(nobody, refuse).text;
  } else {
    refuse(report);
  }
  EXPECT_EQ(report, std::to_string(EACCES));
  EXPECT_EQ(test::ReadBytes(path), kPrevious);
  EXPECT_EQ(Names(), std::set<std::string>{"read-only"});
}

TEST_F(OutputFileTest, OtherHardLinksKeepThePreviousContents) {
  test::WriteBytes(Path("written"), kPrevious);
  fs::create_hard_link(Path("written"), Path("other"));
  OutputFile output(Path("written"));
  output.Stream() << "new";
  ASSERT_TRUE(output.Commit());
  EXPECT_EQ(test::ReadBytes(Path("written")), "new");
  EXPECT_EQ(test::ReadBytes(Path("other")), kPrevious);
}

// The temporary file's path would be longer than the system allows if it were named by a
// path; it is made relative to the directory.
TEST_F(OutputFileTest, PathJustUnderTheSystemLimitIsWritten) {
  const std::string name = "out";
  const std::size_t length = PATH_MAX - 10;
  const std::size_t scratchLength = Path("").size();
  std::string directory = "long";
  while (scratchLength + directory.size() + 1 + name.size() < length) {
    const std::size_t left = length - scratchLength - directory.size() - 2 - name.size();
    directory.append(1, '/').append(std::min(left, kLongPathComponent), 'd');
  }
  fs::create_directories(Path(directory));
  const std::string path = Path(directory + "/" + name);
  ASSERT_EQ(path.size(), length);
  for (const char* contents : {"first", "second"}) {
    OutputFile output(path);
    ASSERT_TRUE(output.IsOpen()) << std::strerror(output.Error());
    output.Stream() << contents;
    ASSERT_TRUE(output.Commit()) << std::strerror(output.Error());
    EXPECT_EQ(test::ReadBytes(path), contents);
  }
  EXPECT_EQ(Names(directory), std::set<std::string>{name});
}

std::string ReadAvailable(int descriptor) {
  std::array<char, kPipeReadSize> received{};
  const ssize_t count = ::read(descriptor, received.data(), received.size());
  return std::string(received.data(), count > 0 ? static_cast<std::size_t>(count) : 0);
}

// A pipe has no contents to keep: it receives the bytes itself and stays a pipe.
TEST_F(OutputFileTest, NamedPipeIsWrittenStraightThrough) {
  const std::string path = Path("pipe");
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  const int reader = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  {
    OutputFile output(path);
    ASSERT_TRUE(output.IsOpen());
    output.Stream() << "through";
    EXPECT_TRUE(output.Commit());
  }
  EXPECT_EQ(ReadAvailable(reader), "through");
  ::close(reader);
  EXPECT_TRUE(fs::is_fifo(path));
  EXPECT_EQ(Names(), std::set<std::string>{"pipe"});
}

// /dev/stdout and its kin are the system's own links to this process's open descriptors, such
// as a pipe to another program or the file the shell opened for it; their text is no file
// name ("/tmp/x (deleted)", "/memfd:x (deleted)"). What is written follows what the descriptor
// wrote before, in the file it is open on, and nothing is created or replaced.
TEST_F(OutputFileTest, OwnDescriptorsAreWrittenWhereTheyStand) {
  const std::string before = "written before, ";
  enum class Kind { NamedFile, DeletedFile, MemoryFile, Pipe, ReadOnly, Closed };
  const struct {
    const char* name;
    Kind kind;
    int error;  // 0: written
  } cases[] = {
      {"named file", Kind::NamedFile, 0},   {"deleted file", Kind::DeletedFile, 0},
      {"memory file", Kind::MemoryFile, 0}, {"pipe", Kind::Pipe, 0},
      {"read only", Kind::ReadOnly, EBADF}, {"closed", Kind::Closed, EBADF},
  };
  for (const char* spelling : {"/proc/self/fd/", "/dev/fd/"}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(spelling) + c.name);
      std::array<int, 2> ends{-1, -1};  // the descriptor written, and where it is read
      switch (c.kind) {
        case Kind::NamedFile:
        case Kind::DeletedFile:
          ends[0] = ::open(Path("file").c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
          ends[1] = ::dup(ends[0]);
          if (c.kind == Kind::DeletedFile) {
            ::unlink(Path("file").c_str());
          }
          break;
        case Kind::MemoryFile:
          ends[0] = ::memfd_create("output", 0);
          ends[1] = ::dup(ends[0]);
          break;
        case Kind::Pipe:
          ASSERT_EQ(::pipe(ends.data()), 0);
          std::swap(ends[0], ends[1]);
          break;
        case Kind::ReadOnly:
          ends[0] = ::open("/dev/null", O_RDONLY);
          break;
        case Kind::Closed:
          ends[0] = ::dup(STDERR_FILENO);
          ::close(ends[0]);
          break;
      }
      if (c.error == 0) {
        ASSERT_EQ(::write(ends[0], before.data(), before.size()),
                  static_cast<ssize_t>(before.size()));
      }
      {
        OutputFile output(spelling + std::to_string(ends[0]));
        EXPECT_EQ(output.IsOpen(), c.error == 0);
        EXPECT_EQ(output.Error(), c.error);
        output.Stream() << "then through the path";
        EXPECT_EQ(output.Commit(), c.error == 0);
      }
      if (c.error == 0) {
        std::array<char, kPipeReadSize> received{};
        const ssize_t count = c.kind == Kind::Pipe
                                  ? ::read(ends[1], received.data(), received.size())
                                  : ::pread(ends[1], received.data(), received.size(), 0);
        EXPECT_EQ(
            std::string(received.data(), static_cast<std::size_t>(std::max<ssize_t>(count, 0))),
            before + "then through the path");
      }
      for (const int end : ends) {
        if (end >= 0 && c.kind != Kind::Closed) {
          ::close(end);
        }
      }
      EXPECT_EQ(Names(), c.kind == Kind::NamedFile ? std::set<std::string>{"file"}
                                                   : std::set<std::string>{});
      fs::remove(Path("file"));
    }
  }
}

// Root replacing a program of another user must not make a program that runs as root; a
// replacement of the same owner keeps what its owner set.
TEST_F(OutputFileTest, SetUserAndGroupBitsGoOnlyToAReplacementOfTheSameOwner) {
  const test::OtherUser nobody = test::Nobody();
  if (!nobody.available) {
    GTEST_SKIP() << "needs root to own files of another user";
  }
  constexpr auto kProgram = static_cast<fs::perms>(06755);
  const struct {
    const char* name;
    uid_t user;
    gid_t group;
    unsigned replaced;  // the replacement's permission bits
  } cases[] = {
      {"root's", 0, 0, 06755},
      {"nobody's", nobody.user, nobody.group, 0755},
      {"root's of nobody's group", 0, nobody.group, 04755},
  };
  for (const auto& c : cases) {
    const std::string path = Path("program");
    test::WriteBytes(path, kPrevious);
    ASSERT_EQ(::chown(path.c_str(), c.user, c.group), 0);
    fs::permissions(path, kProgram);
    ASSERT_EQ(fs::status(path).permissions(), kProgram) << c.name;
    OutputFile output(path);
    output.Stream() << "#!/bin/sh\n";
    ASSERT_TRUE(output.Commit()) << c.name;
    struct stat replaced {};
    ASSERT_EQ(::stat(path.c_str(), &replaced), 0);
    EXPECT_EQ(replaced.st_mode & 07777, c.replaced) << c.name;
    EXPECT_EQ(replaced.st_uid, 0u) << c.name;
  }
}

// A device node has no contents to keep either: it receives the bytes, and its failures are
// the output's. It stays a node.
TEST_F(OutputFileTest, DeviceNodeIsWrittenStraightThroughAndStaysANode) {
  const struct {
    const char* name;
    unsigned device;
    bool committed;
    int error;
  } cases[] = {
      {"null", kNullDevice, true, 0},
      {"full", kFullDevice, false, ENOSPC},
  };
  for (const auto& c : cases) {
    const std::string path = Path(c.name);
    if (::mknod(path.c_str(), S_IFCHR | 0600, makedev(kMemoryDevices, c.device)) != 0) {
      GTEST_SKIP() << "only root with the right to make device nodes makes them";
    }
    OutputFile output(path);
    ASSERT_TRUE(output.IsOpen()) << c.name;
    output.Stream() << kPrevious;
    EXPECT_EQ(output.Commit(), c.committed) << c.name;
    EXPECT_EQ(output.Error(), c.error) << c.name;
    EXPECT_TRUE(fs::is_character_file(path)) << c.name;
  }
  EXPECT_EQ(Names(), (std::set<std::string>{"full", "null"}));
}

}  // namespace
}  // namespace qv
