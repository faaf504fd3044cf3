// quorvanel-cli run inside the test process, as the suites drive it.
#pragma once

#include <string>
#include <vector>

namespace qv::test {

// What one run gave: its exit status and everything it wrote on each stream.
struct CliRun {
  int status = 0;
  std::string out;
  std::string err;
};

// Runs quorvanel-cli with `arguments` (the program name is put before them); `input` is the
// standard input that --batch reads.
CliRun RunCliInProcess(const std::vector<std::string>& arguments, const std::string& input = {});

}  // namespace qv::test
