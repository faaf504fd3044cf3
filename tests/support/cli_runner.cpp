#include "tests/support/cli_runner.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <sstream>

#include "cli/cli_run.h"

namespace qv::test {

CliRun RunCliInProcess(const std::vector<std::string>& arguments, const std::string& input) {
  std::vector<const char*> argv = {"quorvanel-cli"};
  for (const std::string& argument : arguments) {
    argv.push_back(argument.c_str());
  }
  std::istringstream in(input);
  std::ostringstream out;
  std::ostringstream err;
  CliRun run;
  run.status = cli::RunCli(static_cast<int>(argv.size()), argv.data(), in, out, err);
  run.out = out.str();
  run.err = err.str();
  return run;
}

std::string CliProgram() {
  const char* program = std::getenv("QUORVANEL_CLI");
  if (program == nullptr) {
    ADD_FAILURE() << "QUORVANEL_CLI names the built quorvanel-cli";
    return {};
  }
  return program;
}

int RunCliShell(const std::string& shell) {
  const std::string program = CliProgram();
  if (program.empty()) {
    return -1;
  }
  const int status = std::system(("CLI='" + program + "'; " + shell).c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace qv::test
