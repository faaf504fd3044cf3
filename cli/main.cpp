#include <iostream>

#include "cli/cli_run.h"

int main(int argc, char** argv) { return qv::cli::RunCli(argc, argv, std::cout, std::cerr); }
