#include "tests/fileio/file_size_limit.h"

#include <sys/resource.h>

#include <csignal>

namespace qv::test {

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
