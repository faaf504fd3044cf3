#include "tests/support/file_size_limit.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <csignal>

namespace qv::test {
namespace {

constexpr std::size_t kReadChunk = 4096;

}  // namespace

LimitedRun RunWithFileSizeLimit(long limitBytes, const std::function<int(std::string&)>& body) {
  std::array<int, 2> pipeEnds{};
  if (::pipe(pipeEnds.data()) != 0) {
    return {};
  }
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(pipeEnds[0]);
    const rlimit limit{static_cast<rlim_t>(limitBytes), static_cast<rlim_t>(limitBytes)};
    std::signal(SIGXFSZ, SIG_IGN);
    std::string text;
    const int status = ::setrlimit(RLIMIT_FSIZE, &limit) == 0 ? body(text) : -1;
    // A pipe is no file, so the limit does not cut the report short.
    const bool reported =
        ::write(pipeEnds[1], text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::_exit(reported ? status : -1);
  }
  ::close(pipeEnds[1]);
  LimitedRun run;
  std::array<char, kReadChunk> chunk{};
  ssize_t count = 0;
  while ((count = ::read(pipeEnds[0], chunk.data(), chunk.size())) > 0) {
    run.text.append(chunk.data(), static_cast<std::size_t>(count));
  }
  ::close(pipeEnds[0]);
  int waitStatus = 0;
  if (child > 0 && ::waitpid(child, &waitStatus, 0) == child && WIFEXITED(waitStatus)) {
    run.status = WEXITSTATUS(waitStatus);
  }
  return run;
}

}  // namespace qv::test
