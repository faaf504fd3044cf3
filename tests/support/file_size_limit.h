// Write failures without root or a full disk: a child process whose files cannot grow beyond a
// few bytes. SIGXFSZ is ignored there, so a write beyond the limit fails with EFBIG.
#pragma once

#include <sys/resource.h>

#include <functional>
#include <string>

#include "tests/support/child_process.h"

namespace qv::test {

// Holds this process's file-size limit at `limitBytes` until it goes out of scope, SIGXFSZ
// ignored meanwhile (so a write beyond the limit fails with EFBIG); for code that cannot run in
// a child process, such as the desktop's dialogs.
class ScopedFileSizeLimit {
 public:
  explicit ScopedFileSizeLimit(long limitBytes);
  ~ScopedFileSizeLimit();
  ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
  ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

 private:
  rlimit saved_{};
  void (*previousHandler_)(int) = nullptr;
};

// Runs `body` in a child process whose files may hold at most `limitBytes` bytes; the body
// returns its exit status and may describe what it saw in its text argument.
ChildRun RunWithFileSizeLimit(long limitBytes, const std::function<int(std::string&)>& body);

}  // namespace qv::test
