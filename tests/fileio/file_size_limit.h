// Write failures without root or a full disk: a child process whose files cannot grow beyond a
// few bytes. SIGXFSZ is ignored there, so a write beyond the limit fails with EFBIG.
#pragma once

#include <functional>
#include <string>

#include "tests/fileio/child_process.h"

namespace qv::test {

// Runs `body` in a child process whose files may hold at most `limitBytes` bytes; the body
// returns its exit status and may describe what it saw in its text argument.
ChildRun RunWithFileSizeLimit(long limitBytes, const std::function<int(std::string&)>& body);

}  // namespace qv::test
