// Write failures without root or a full disk: a child process whose files cannot grow beyond a
// few bytes. SIGXFSZ is ignored there, so a write beyond the limit fails with EFBIG.
#pragma once

#include <functional>
#include <string>

namespace qv::test {

struct LimitedRun {
  int status = -1;   // what the body returned (0..255), or -1 when the child did not exit
  std::string text;  // what the body put into its text argument
};

// Runs `body` in a child process whose files may hold at most `limitBytes` bytes; the body
// returns its exit status and may describe what it saw in its text argument.
LimitedRun RunWithFileSizeLimit(long limitBytes, const std::function<int(std::string&)>& body);

}  // namespace qv::test
