// Every file quorvanel-cli writes (design file, C, VHDL, picture) replaces the previous file
// whole or not at all: failures keep it byte for byte and leave no temporary file behind,
// links are followed and permission bits kept.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_run.h"
#include "cli/exit_status.h"
#include "tests/support/cli_runner.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/scratch_directory.h"

namespace qv::cli {
namespace {

namespace fs = std::filesystem;

constexpr long kFileSizeLimit = 40;  // bytes: every output is longer
constexpr const char* kNotCreated = "The Output file cannot be created!\n";
constexpr const char* kNotClosed = "The Output file cannot be closed!\n";
constexpr const char* kSaveFailed = "Failed to save document.\n";
const std::string kPrevious = "the previous file, which no failure may touch\n";

struct OutputCase {
  const char* name;
  std::vector<std::string> design;  // options for a design that the output accepts
  const char* option;
  const char* notCreated;  // the message when the file cannot be created
  const char* notClosed;   // the message when writing it fails
};

void PrintTo(const OutputCase& c, std::ostream* os) { *os << c.name; }

struct ToolRun {
  int status = -1;
  std::string err;
};

class OutputReplacement : public ::testing::TestWithParam<OutputCase> {
 protected:
  std::string Path(const std::string& name) const { return scratch_.Path(name); }
  std::set<std::string> Names(const std::string& name = "") const { return scratch_.Names(name); }

  std::vector<std::string> Arguments(const std::string& path) const {
    std::vector<std::string> args = GetParam().design;
    args.insert(args.end(), {GetParam().option, path});
    return args;
  }

  static int Run(const std::vector<std::string>& args, std::string& err) {
    const test::CliRun run = test::RunCliInProcess(args);
    err = run.err;
    return run.status;
  }

  ToolRun Produce(const std::string& path) const {
    ToolRun run;
    run.status = Run(Arguments(path), run.err);
    return run;
  }

  ToolRun ProduceWithLimit(const std::string& path) const {
    const std::vector<std::string> args = Arguments(path);
    const test::ChildRun limited = test::RunWithFileSizeLimit(
        kFileSizeLimit, [&](std::string& err) { return Run(args, err); });
    return {limited.status, limited.text};
  }

  // The bytes of the output written to a new file.
  std::string FreshOutput() const {
    const ToolRun run = Produce(Path("fresh"));
    EXPECT_EQ(run.status, static_cast<int>(ExitStatus::Success)) << run.err;
    std::string bytes = test::ReadBytes(Path("fresh"));
    fs::remove(Path("fresh"));
    return bytes;
  }

 private:
  test::ScratchDirectory scratch_{"quorvanel-cli-replace"};
};

TEST_P(OutputReplacement, FailedWriteKeepsThePreviousFileOrNone) {
  test::WriteBytes(Path("target"), kPrevious);
  for (const char* name : {"target", "absent"}) {
    const ToolRun run = ProduceWithLimit(Path(name));
    EXPECT_EQ(run.status, static_cast<int>(ExitStatus::OutputFailed)) << name;
    EXPECT_EQ(run.err, GetParam().notClosed) << name;
  }
  EXPECT_EQ(test::ReadBytes(Path("target")), kPrevious);
  EXPECT_EQ(Names(), std::set<std::string>{"target"});
}

TEST_P(OutputReplacement, ReplacedFileHoldsTheNewBytesAndKeepsItsPermissions) {
  const std::string expected = FreshOutput();
  ASSERT_GT(expected.size(), static_cast<std::size_t>(kFileSizeLimit));
  // Longer than any output, so a file rewritten in place would keep a tail of it.
  test::WriteBytes(Path("target"), std::string(2 * expected.size(), 'x'));
  const fs::perms unusual = fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read;
  fs::permissions(Path("target"), unusual);
  const ToolRun run = Produce(Path("target"));
  ASSERT_EQ(run.status, static_cast<int>(ExitStatus::Success)) << run.err;
  EXPECT_EQ(test::ReadBytes(Path("target")), expected);
  EXPECT_EQ(fs::status(Path("target")).permissions(), unusual);
  EXPECT_EQ(Names(), std::set<std::string>{"target"});
}

TEST_P(OutputReplacement, LinkStaysAndTheFileItNamesIsReplaced) {
  const std::string expected = FreshOutput();
  fs::create_directories(Path("real"));
  test::WriteBytes(Path("real/file"), kPrevious);
  fs::create_symlink("real/file", Path("link"));
  const ToolRun run = Produce(Path("link"));
  ASSERT_EQ(run.status, static_cast<int>(ExitStatus::Success)) << run.err;
  EXPECT_TRUE(fs::is_symlink(Path("link")));
  EXPECT_EQ(test::ReadBytes(Path("real/file")), expected);
  EXPECT_EQ(Names("real"), std::set<std::string>{"file"});
}

TEST_P(OutputReplacement, PathThatCannotTakeAFileIsNotCreated) {
  fs::create_directories(Path("directory"));
  for (const char* name : {"directory", "missing/file"}) {
    const ToolRun run = Produce(Path(name));
    EXPECT_EQ(run.status, static_cast<int>(ExitStatus::OutputFailed)) << name;
    EXPECT_EQ(run.err, GetParam().notCreated) << name;
  }
  EXPECT_TRUE(fs::is_directory(Path("directory")));
  EXPECT_EQ(Names(), std::set<std::string>{"directory"});
}

TEST_P(OutputReplacement, ReadOnlyDirectoryKeepsItsFile) {
  if (::geteuid() == 0) {
    GTEST_SKIP() << "root ignores permission bits, so no directory is read-only";
  }
  fs::create_directories(Path("read-only"));
  test::WriteBytes(Path("read-only/file"), kPrevious);
  fs::permissions(Path("read-only"), fs::perms::owner_read | fs::perms::owner_exec);
  const ToolRun run = Produce(Path("read-only/file"));
  EXPECT_EQ(run.status, static_cast<int>(ExitStatus::OutputFailed));
  EXPECT_EQ(run.err, GetParam().notCreated);
  EXPECT_EQ(test::ReadBytes(Path("read-only/file")), kPrevious);
  EXPECT_EQ(Names("read-only"), std::set<std::string>{"file"});
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, OutputReplacement,
    ::testing::Values(
        OutputCase{"DesignFile", {}, "--save", kSaveFailed, kSaveFailed},
        OutputCase{"CFile", {}, "--c", kNotCreated, kNotClosed},
        OutputCase{
            "VhdlFile", {"--class", "fir", "--quant", "8"}, "--vhdl", kNotCreated, kNotClosed},
        OutputCase{"Picture", {}, "--gif", kNotCreated, kNotClosed},
        OutputCase{
            "CoeFile", {"--class", "fir", "--quant", "16"}, "--coe", kNotCreated, kNotClosed},
        OutputCase{"MifFile", {"--class", "fir", "--quant", "8"}, "--mif", kNotCreated, kNotClosed},
        OutputCase{"CsvFile", {}, "--csv", kNotCreated, kNotClosed},
        OutputCase{"SectionsFile", {}, "--sos", kNotCreated, kNotClosed}),
    [](const ::testing::TestParamInfo<OutputCase>& param) {
      return std::string(param.param.name);
    });

}  // namespace
}  // namespace qv::cli
