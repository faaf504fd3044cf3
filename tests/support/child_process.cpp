#include "tests/support/child_process.h"

#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>

namespace qv::test {
namespace {

constexpr std::size_t kReadChunk = 4096;
constexpr int kNotPrepared = 255;

}  // namespace

ChildRun RunInChild(const std::function<bool()>& prepare,
                    const std::function<int(std::string&)>& body) {
  std::array<int, 2> pipeEnds{};
  if (::pipe(pipeEnds.data()) != 0) {
    return {};
  }
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(pipeEnds[0]);
    std::string text;
    const int status = prepare() ? body(text) : kNotPrepared;
    // A pipe is no file, so neither a file-size limit nor another identity cuts the report.
    const bool reported =
        ::write(pipeEnds[1], text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::_exit(reported ? status : kNotPrepared);
  }
  ::close(pipeEnds[1]);
  ChildRun run;
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

OtherUser Nobody() {
  const passwd* nobody = ::getpwnam("nobody");
  if (::geteuid() != 0 || nobody == nullptr) {
    return {};
  }
  return {true, nobody->pw_uid, nobody->pw_gid};
}

ChildRun RunAs(const OtherUser& other, const std::function<int(std::string&)>& body) {
  return RunInChild(
      [&other] {
        return other.available && ::setgroups(0, nullptr) == 0 && ::setgid(other.group) == 0 &&
               ::setuid(other.user) == 0;
      },
      body);
}

}  // namespace qv::test
