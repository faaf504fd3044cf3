// quorvanel-cli run inside the test process, as the suites drive it, and the built program run
// through the shell, for what only its own standard streams show.
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

// The built quorvanel-cli, as the environment variable QUORVANEL_CLI names it; empty (and the
// test failed) when it names none.
std::string CliProgram();

// Runs the shell command `shell` with $CLI naming the built program; returns its exit status,
// or -1 when it did not exit.
int RunCliShell(const std::string& shell);

}  // namespace qv::test
