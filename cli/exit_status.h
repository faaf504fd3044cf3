// The exit statuses of quorvanel-cli, which scripts and other tools rely on.
#pragma once

namespace qv::cli {

enum ExitStatus : int {
  kExitSuccess = 0,
  kExitUsage = 1,         // an option is unknown, malformed or contradicts another
  kExitRefused = 2,       // the calculation or the opened design file was refused, or the
                          // --batch input could not be read
  kExitOutputFailed = 3,  // an output was refused or could not be written
};

}  // namespace qv::cli
