// --batch on worker threads: the same bytes in the same order whatever the number of jobs, and
// clean ends when the input ends, cannot be read, or the output fails.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <random>
#include <sstream>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <vector>

#include "cli/batch_line.h"
#include "cli/batch_mode.h"
#include "cli/exit_status.h"
#include "tests/support/cli_runner.h"
#include "tests/support/scratch_directory.h"

namespace qv::cli {
namespace {

// Valid designs of every class, band and model (some refused by the calculation), lines that
// are no specification, empty lines, a line too long, invalid UTF-8 and NUL bytes, repeated so
// that the lines in flight wrap around many times; the last line has no newline.
std::string MixedInput() {
  std::mt19937 random(21);
  const auto pick = [&random](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  const std::vector<std::string> odd = {"",
                                        "{\"order\": 2",
                                        "[1, 2]",
                                        "{\"orders\": 2}",
                                        "{\"order\": 2.5}",
                                        "{\"k\xff\": 1}",
                                        std::string("{\"order\": 3}\0{", 14),
                                        std::string(kMaxBatchLineBytes + 1, ' '),
                                        "{}"};
  constexpr int kLines = 240;
  std::string input;
  for (int i = 0; i < kLines; ++i) {
    if (i % 4 == 3) {
      input += odd[static_cast<std::size_t>(i / 4) % odd.size()] + "\n";
      continue;
    }
    const int fsample = 1000 * pick(1, 48);
    const int fcut1 = pick(1, fsample / 2);
    input += nlohmann::json{{"filterClass", pick(0, 1)},
                            {"bandType", pick(0, 3)},
                            {"model", pick(0, 4)},
                            {"order", pick(1, 12)},
                            {"fsample", fsample},
                            {"fcut1", fcut1},
                            {"fcut2", pick(fcut1, fsample / 2)},
                            {"taps", pick(3, 300)},
                            {"quantization", pick(0, 2)},
                            {"ripple", pick(1, 30) / 10.0},
                            {"rollOff", pick(5, 100) / 100.0}}
                 .dump() +
             "\n";
  }
  return input + "{\"order\": 3}";
}

struct BatchResult {
  ExitStatus status;
  std::string out;
  std::string err;
};

BatchResult RunJobs(std::istream& in, int jobs) {
  std::ostringstream out;
  std::ostringstream err;
  const ExitStatus status = RunBatch(in, out, err, jobs);
  return {status, out.str(), err.str()};
}

BatchResult RunJobs(const std::string& input, int jobs) {
  std::istringstream in(input);
  return RunJobs(in, jobs);
}

class BatchJobs : public ::testing::TestWithParam<int> {};

INSTANTIATE_TEST_SUITE_P(Jobs, BatchJobs, ::testing::Values(2, 7),
                         ::testing::PrintToStringParamName());

// One valid JSON line per input line, byte for byte what one job gives.
TEST_P(BatchJobs, GiveTheBytesOfOneJob) {
  const std::string input = MixedInput();
  const BatchResult one = RunJobs(input, 1);
  ASSERT_EQ(one.status, ExitStatus::Success);
  std::istringstream lines(one.out);
  std::size_t count = 0;
  for (std::string line; std::getline(lines, line); ++count) {
    EXPECT_TRUE(nlohmann::json::accept(line)) << line.substr(0, 80);
  }
  EXPECT_EQ(count, static_cast<std::size_t>(std::count(input.begin(), input.end(), '\n')) + 1);

  const BatchResult many = RunJobs(input, GetParam());
  EXPECT_EQ(many.status, ExitStatus::Success);
  EXPECT_TRUE(many.out == one.out) << "the output differs from that of one job";
  EXPECT_TRUE(many.err.empty());

  const BatchResult none = RunJobs("", GetParam());
  EXPECT_EQ(none.status, ExitStatus::Success);
  EXPECT_TRUE(none.out.empty());
}

// An input of "{}" lines that never ends, counting the lines it hands out.
class EndlessInput : public std::streambuf {
 public:
  int lines = 0;

 protected:
  int_type underflow() override {
    ++lines;
    setg(line_, line_, line_ + sizeof line_);
    return traits_type::to_int_type(line_[0]);
  }

 private:
  char line_[3] = {'{', '}', '\n'};
};

// An output that takes `room` bytes, then fails.
class FullOutput : public std::streambuf {
 public:
  explicit FullOutput(std::streamsize room) : room_(room) {}

 protected:
  std::streamsize xsputn(const char*, std::streamsize count) override {
    const std::streamsize taken = std::min(count, room_);
    room_ -= taken;
    return taken;
  }
  int_type overflow(int_type c) override {
    return xsputn(nullptr, 1) == 1 ? c : traits_type::eof();
  }

 private:
  std::streamsize room_;
};

// The run ends as soon as the output fails, without reading on: the lines read stay within a
// few windows of lines in flight.
TEST(BatchEnds, WhenTheOutputFails) {
  constexpr std::streamsize kRoom = 100000;  // a few printouts
  constexpr int kMostLinesRead = 2000;
  for (const int jobs : {1, 2, 7}) {
    EndlessInput endless;
    std::istream in(&endless);
    FullOutput full(kRoom);
    std::ostream out(&full);
    std::ostringstream err;
    EXPECT_EQ(RunBatch(in, out, err, jobs), ExitStatus::OutputFailed) << jobs;
    EXPECT_LT(endless.lines, kMostLinesRead) << jobs;
    EXPECT_TRUE(err.str().empty()) << jobs;
  }
}

// An input whose reads fail after a few lines, as a device does.
class FailingInput : public std::streambuf {
 public:
  explicit FailingInput(std::string lines) : lines_(std::move(lines)) {}

 protected:
  int_type underflow() override {
    if (served_) {
      errno = EIO;
      throw std::runtime_error("read failed");
    }
    served_ = true;
    setg(lines_.data(), lines_.data(), lines_.data() + lines_.size());
    return traits_type::to_int_type(lines_[0]);
  }

 private:
  std::string lines_;
  bool served_ = false;
};

// A read error is no end of the input: the lines before it are answered, then the run fails.
TEST(BatchEnds, WhenTheInputCannotBeRead) {
  for (const int jobs : {1, 2, 7}) {
    FailingInput failing("{}\n{\"order\": 20}\n{\"order\": 3");
    std::istream in(&failing);
    const BatchResult run = RunJobs(in, jobs);
    EXPECT_EQ(run.status, ExitStatus::Refused) << jobs;
    EXPECT_EQ(run.out, RunJobs("{}\n{\"order\": 20}\n", 1).out) << jobs;
    EXPECT_EQ(run.err, "Standard input cannot be read: Input/output error\n") << jobs;
  }
}

// The built program, whose standard streams are tied and shared by its threads.
class BatchProgram : public ::testing::Test {
 protected:
  static int Shell(const std::string& shell) { return test::RunCliShell(shell); }

  test::ScratchDirectory scratch_{"quorvanel-batch-jobs"};
};

TEST_F(BatchProgram, GivesTheBytesOfOneJobThroughItsStandardStreams) {
  const std::string input = scratch_.Path("input");
  test::WriteBytes(input, MixedInput());
  const std::string expected = RunJobs(MixedInput(), 1).out;
  for (const int jobs : {1, 2, 7}) {
    const std::string out = scratch_.Path("out" + std::to_string(jobs));
    EXPECT_EQ(Shell("\"$CLI\" --batch --jobs " + std::to_string(jobs) + " <'" + input + "' >'" +
                    out + "'"),
              static_cast<int>(ExitStatus::Success));
    EXPECT_TRUE(test::ReadBytes(out) == expected) << jobs << " jobs differ from one";
  }
}

TEST_F(BatchProgram, EndsQuietlyWhenItsOutputIsClosed) {
  const std::string err = scratch_.Path("err");
  const std::string status = scratch_.Path("status");
  constexpr int kTimedOut = 124;
  // A closed descriptor fails at the first write.
  EXPECT_EQ(Shell("yes '{}' | timeout 60 \"$CLI\" --batch --jobs 2 >&- 2>'" + err + "'"),
            static_cast<int>(ExitStatus::OutputFailed));
  EXPECT_EQ(test::ReadBytes(err), "");
  // A reader that goes away ends the program by the broken pipe.
  Shell("{ yes '{}' | timeout 60 \"$CLI\" --batch --jobs 2 2>'" + err + "'; echo $? >'" + status +
        "'; } | head -c 1 >/dev/null");
  const int ended = std::atoi(test::ReadBytes(status).c_str());
  EXPECT_NE(ended, static_cast<int>(ExitStatus::Success));
  EXPECT_NE(ended, kTimedOut);
  EXPECT_EQ(test::ReadBytes(err), "");
}

TEST_F(BatchProgram, ReportsAnInputThatCannotBeRead) {
  const std::string out = scratch_.Path("out");
  const std::string err = scratch_.Path("err");
  for (const char* jobs : {"1", "2"}) {
    EXPECT_EQ(Shell("\"$CLI\" --batch --jobs " + std::string(jobs) + " </ >'" + out + "' 2>'" +
                    err + "'"),
              static_cast<int>(ExitStatus::Refused));
    EXPECT_EQ(test::ReadBytes(out), "");
    EXPECT_EQ(test::ReadBytes(err), "Standard input cannot be read: Is a directory\n");
  }
}

}  // namespace
}  // namespace qv::cli
