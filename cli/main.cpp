#include <iostream>

#include "cli/cli_run.h"
#include "fileio/file_size_signal.h"

int main(int argc, char** argv) {
  qv::IgnoreFileSizeSignal();
  // Only the C++ streams are used; unsynchronised, they read and write through buffers of
  // their own, which --batch feels on every line.
  std::ios::sync_with_stdio(false);
  return qv::cli::RunCli(argc, argv, std::cout, std::cerr);
}
