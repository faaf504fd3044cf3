// quorvanel-cli --gif: the picture of the calculated design, the messages and exit status of a
// picture that cannot be written, and its independence of the other outputs.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_run.h"
#include "cli/exit_status.h"
#include "picture/graph_layout.h"
#include "tests/picture/gif_picture.h"
#include "tests/picture/sample_design.h"
#include "tests/support/cli_runner.h"

namespace qv::cli {
namespace {

using test::CliRun;
using test::RunCliInProcess;

// A path of this process's own in the test's temporary directory, removed beforehand.
std::string TempPath(const std::string& name) {
  const std::string path = ::testing::TempDir() + std::to_string(::getpid()) + "-cli-" + name;
  std::filesystem::remove(path);
  return path;
}

TEST(GifOption, WritesThePictureOfTheDefaultDesign) {
  const std::string path = TempPath("default.gif");
  const CliRun run = RunCliInProcess({"--gif", path});
  EXPECT_EQ(run.status, static_cast<int>(ExitStatus::Success));
  EXPECT_EQ(run.err, "");
  const test::Picture picture(path);
  std::filesystem::remove(path);
  const test::Picture golden(test::DefaultDesignGoldenPath());
  ASSERT_TRUE(picture.IsValid());
  ASSERT_TRUE(golden.IsValid());
  EXPECT_EQ(picture.CountDifferences(golden), 0);
}

TEST(GifOption, WritesThePictureOfTheDesignAsOverridden) {
  const std::string path = TempPath("fir.gif");
  const CliRun run = RunCliInProcess({"--class", "fir", "--model", "raised-cosine", "--gif", path});
  EXPECT_EQ(run.status, static_cast<int>(ExitStatus::Success)) << run.err;
  const test::Picture picture(path);
  std::filesystem::remove(path);
  const test::Picture golden(test::DefaultDesignGoldenPath());
  ASSERT_TRUE(picture.IsValid());
  EXPECT_GT(picture.CountDifferences(golden), 0);
  // A raised-cosine design has no zero-pole marks.
  EXPECT_FALSE(picture.AnyInRectangle(60, 444, 281, 665, test::kRed));
}

// The picture of a design with a scheme carries the verdict beside the summary, as the window
// and the printout do.
TEST(GifOption, DesignWithASchemeShowsItsVerdict) {
  const std::string path = TempPath("scheme.gif");
  const CliRun run = RunCliInProcess({"--model", "elliptic", "--pass", "100", "--stop", "130",
                                      "--atten", "50", "--min-order", "--gif", path});
  EXPECT_EQ(run.status, static_cast<int>(ExitStatus::Success)) << run.err;
  const test::Picture picture(path);
  std::filesystem::remove(path);
  ASSERT_TRUE(picture.IsValid());
  EXPECT_TRUE(picture
                  .InkColumns(picture::kVerdictX, picture::kSummaryY, picture::kImageWidth,
                              picture::kTopTitleY)
                  .has_value());
}

struct FailureCase {
  const char* name;
  std::string path;
  std::string message;
};

class GifOptionFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(GifOptionFailure, ShowsTheMessageAndEndsWithStatusThree) {
  const CliRun run = RunCliInProcess({"--gif", GetParam().path});
  EXPECT_EQ(run.status, static_cast<int>(ExitStatus::OutputFailed));
  EXPECT_EQ(run.err, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, GifOptionFailure,
    ::testing::Values(FailureCase{"MissingDirectory", "/nonexistent-quorvanel-dir/graph.gif",
                                  "The Output file cannot be created!\n"},
                      FailureCase{"Directory", "/", "The Output file cannot be created!\n"},
                      FailureCase{"FullDevice", "/dev/full",
                                  "The Output file cannot be closed!\n"}),
    [](const ::testing::TestParamInfo<FailureCase>& test) { return std::string(test.param.name); });

TEST(GifOption, OtherOutputsStillRunWhenThePictureFails) {
  const std::string design = TempPath("kept.qvd");
  const CliRun run =
      RunCliInProcess({"--gif", "/nonexistent-quorvanel-dir/graph.gif", "--save", design});
  EXPECT_EQ(run.status, static_cast<int>(ExitStatus::OutputFailed));
  EXPECT_TRUE(std::filesystem::exists(design));
  std::filesystem::remove(design);
}

TEST(GifOption, RefusedDesignWritesNoPicture) {
  const std::string path = TempPath("refused.gif");
  const CliRun run = RunCliInProcess({"--order", "30", "--gif", path});
  EXPECT_EQ(run.status, static_cast<int>(ExitStatus::Refused));
  EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
}  // namespace qv::cli
