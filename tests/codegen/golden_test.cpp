// The files and printouts of quorvanel-cli for the designs of golden/cases.txt, byte for byte
// against the committed golden files (made by golden/regenerate.sh), but for the web-site and
// e-mail lines of the identification block, which are compared as markers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_run.h"
#include "codegen_test_support.h"
#include "tests/support/cli_runner.h"
#include "tests/support/scratch_directory.h"

namespace qv {
namespace {

constexpr const char* kOutMarker = "@OUT@";

struct GoldenCase {
  std::string name;
  std::vector<std::string> args;
};

void PrintTo(const GoldenCase& c, std::ostream* os) { *os << c.name; }

std::vector<GoldenCase> ReadCases() {
  std::vector<GoldenCase> cases;
  std::ifstream file(QUORVANEL_GOLDEN_DIR "/cases.txt");
  std::string line;
  while (std::getline(file, line)) {
    const auto colon = line.find(": ");
    if (line.empty() || line[0] == '#' || colon == std::string::npos) {
      continue;
    }
    GoldenCase c{line.substr(0, colon), {}};
    std::istringstream words(line.substr(colon + 2));
    for (std::string word; words >> word;) {
      c.args.push_back(word);
    }
    cases.push_back(c);
  }
  return cases;
}

class Golden : public testing::TestWithParam<GoldenCase> {};

TEST_P(Golden, OutputMatchesTheCommittedFile) {
  const GoldenCase& c = GetParam();
  test::ScratchDirectory dir;
  const std::string path = dir.Path(c.name);
  std::vector<std::string> args;
  bool toFile = false;
  for (const std::string& arg : c.args) {
    toFile = toFile || arg == kOutMarker;
    args.push_back(arg == kOutMarker ? path : arg);
  }
  const test::CliRun run = test::RunCliInProcess(args);
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string actual = toFile ? test::MaskIdentification(test::ReadFile(path)) : run.out;
  const std::string expected = test::ReadFile(QUORVANEL_GOLDEN_DIR "/" + c.name);
  ASSERT_FALSE(expected.empty()) << "no golden file " << c.name;
  if (actual != expected) {
    std::size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) {
      ++at;
    }
    const std::size_t line =
        static_cast<std::size_t>(
            std::count(expected.begin(), expected.begin() + static_cast<long>(at), '\n')) +
        1;
    FAIL() << c.name << " differs from line " << line << " (byte " << at << "): got\n"
           << actual.substr(at - std::min<std::size_t>(at, 40), 120) << "\nwant\n"
           << expected.substr(at - std::min<std::size_t>(at, 40), 120)
           << "\n(tests/codegen/golden/regenerate.sh rewrites the golden files)";
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, Golden, testing::ValuesIn(ReadCases()),
                         [](const testing::TestParamInfo<GoldenCase>& param) {
                           std::string name = param.param.name;
                           for (char& ch : name) {
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           }
                           return name;
                         });

}  // namespace
}  // namespace qv
