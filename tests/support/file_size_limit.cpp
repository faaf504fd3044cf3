#include "tests/support/file_size_limit.h"

#include <sys/resource.h>

#include <csignal>

namespace qv::test {

ScopedFileSizeLimit::ScopedFileSizeLimit(long limitBytes) {
  ::getrlimit(RLIMIT_FSIZE, &saved_);
  previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
  rlimit limited = saved_;
  limited.rlim_cur = static_cast<rlim_t>(limitBytes);
  ::setrlimit(RLIMIT_FSIZE, &limited);
}

ScopedFileSizeLimit::~ScopedFileSizeLimit() {
  ::setrlimit(RLIMIT_FSIZE, &saved_);
  std::signal(SIGXFSZ, previousHandler_);
}

ChildRun RunWithFileSizeLimit(long limitBytes, const std::function<int(std::string&)>& body) {
  return RunInChild(
      [limitBytes] {
        const rlimit limit{static_cast<rlim_t>(limitBytes), static_cast<rlim_t>(limitBytes)};
        std::signal(SIGXFSZ, SIG_IGN);
        return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
      },
      body);
}

}  // namespace qv::test
