// OutputFile on its own: the bytes of both write views, an abandoned file that leaves the target
// alone, link chains, and targets that are not replaced but written or refused. The failures of
// each output through both views are tested with quorvanel-cli (tests/cli).
#include "fileio/output_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <set>
#include <string>

#include "tests/support/scratch_directory.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

const std::string kPrevious = "the previous contents of the target\n";

class OutputFileTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return scratch_.Path(name); }
  std::set<std::string> Names() const { return scratch_.Names(); }

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

TEST_F(OutputFileTest, LinkLoopIsNotCreated) {
  fs::create_symlink("b", Path("a"));
  fs::create_symlink("a", Path("b"));
  EXPECT_FALSE(OutputFile(Path("a")).IsOpen());
  EXPECT_EQ(Names(), (std::set<std::string>{"a", "b"}));
}

TEST_F(OutputFileTest, FileTheUserMayNotWriteIsNotReplaced) {
  if (::geteuid() == 0) {
    GTEST_SKIP() << "root may write any file";
  }
  test::WriteBytes(Path("read-only"), kPrevious);
  fs::permissions(Path("read-only"), fs::perms::owner_read);
  EXPECT_FALSE(OutputFile(Path("read-only")).IsOpen());
  EXPECT_EQ(test::ReadBytes(Path("read-only")), kPrevious);
  EXPECT_EQ(Names(), std::set<std::string>{"read-only"});
}

// A pipe has no contents to keep: it receives the bytes itself and stays a pipe.
TEST_F(OutputFileTest, PipeIsWrittenStraightThrough) {
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
  std::array<char, 16> received{};
  const ssize_t count = ::read(reader, received.data(), received.size());
  ::close(reader);
  EXPECT_EQ(std::string(received.data(), count > 0 ? static_cast<std::size_t>(count) : 0),
            "through");
  EXPECT_TRUE(fs::is_fifo(path));
  EXPECT_EQ(Names(), std::set<std::string>{"pipe"});
}

}  // namespace
}  // namespace qv
