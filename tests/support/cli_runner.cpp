#include "tests/support/cli_runner.h"

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

}  // namespace qv::test
