#include <iostream>

#include "cli/cli_run.h"
#include "fileio/file_size_signal.h"

int main(int argc, char** argv) {
  qv::IgnoreFileSizeSignal();
  return qv::cli::RunCli(argc, argv, std::cerr);
}
