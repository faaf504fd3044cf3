// OutputFile on its own: the bytes of both write views, an abandoned or failed file that leaves
// the target alone, link chains, and targets that are not replaced but written or refused.
#include "fileio/output_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <string>

#include "tests/fileio/file_size_limit.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

constexpr long kFileSizeLimit = 8;  // bytes a limited child may write
const std::string kPrevious = "the previous contents of the target\n";

class OutputFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    directory_ = fs::temp_directory_path() /
                 ("quorvanel-output-file-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(directory_);
    fs::create_directories(directory_);
  }
  void TearDown() override { fs::remove_all(directory_); }

  std::string Path(const std::string& name) const { return (directory_ / name).string(); }

  static void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }

  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }

  std::set<std::string> Names(const std::string& subdirectory = "") const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory_ / subdirectory)) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }

 private:
  fs::path directory_;
};

TEST_F(OutputFileTest, BothViewsWriteTheirBytesInOrderOverALongerFile) {
  const std::string path = Path("out");
  Write(path, std::string(10000, 'x'));
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
  EXPECT_EQ(Read(path), std::string("abc\ndef\r\n42\0\xff", 13));
  EXPECT_EQ(Names(), std::set<std::string>{"out"});
}

TEST_F(OutputFileTest, AbandonedFileLeavesTheTargetAsItWas) {
  Write(Path("kept"), kPrevious);
  for (const char* name : {"kept", "absent"}) {
    OutputFile output(Path(name));
    ASSERT_TRUE(output.IsOpen());
    output.Stream() << "never committed";
  }
  EXPECT_EQ(Read(Path("kept")), kPrevious);
  EXPECT_EQ(Names(), std::set<std::string>{"kept"});
}

struct FailingWriter {
  const char* name;
  std::function<void(OutputFile&)> write;
};

class OutputFileWriteFailure : public OutputFileTest,
                               public ::testing::WithParamInterface<FailingWriter> {};

TEST_P(OutputFileWriteFailure, CommitFailsAndLeavesTheTargetAsItWas) {
  const std::string path = Path("kept");
  Write(path, kPrevious);
  const test::LimitedRun run = test::RunWithFileSizeLimit(kFileSizeLimit, [&](std::string&) {
    OutputFile output(path);
    if (!output.IsOpen()) {
      return 2;
    }
    GetParam().write(output);
    return output.Commit() ? 0 : 1;
  });
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(Read(path), kPrevious);
  EXPECT_EQ(Names(), std::set<std::string>{"kept"});
}

INSTANTIATE_TEST_SUITE_P(
    Views, OutputFileWriteFailure,
    ::testing::Values(FailingWriter{"CStream",
                                    [](OutputFile& f) { std::fputs(kPrevious.c_str(), f.File()); }},
                      FailingWriter{"CxxStream", [](OutputFile& f) { f.Stream() << kPrevious; }}),
    [](const ::testing::TestParamInfo<FailingWriter>& param) {
      return std::string(param.param.name);
    });

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
  EXPECT_EQ(Read(Path("final")), "linked");
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
  Write(Path("read-only"), kPrevious);
  fs::permissions(Path("read-only"), fs::perms::owner_read);
  EXPECT_FALSE(OutputFile(Path("read-only")).IsOpen());
  EXPECT_EQ(Read(Path("read-only")), kPrevious);
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
