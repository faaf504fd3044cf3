// The exit statuses of quorvanel-cli, which scripts and other tools rely on.
#pragma once

namespace qv::cli {

enum class ExitStatus : int {
  Success = 0,
  Usage = 1,         // an option is unknown, malformed or contradicts another
  Refused = 2,       // the calculation or the opened design file was refused, or the
                     // --batch input could not be read
  OutputFailed = 3,  // an output was refused or could not be written
};

}  // namespace qv::cli
