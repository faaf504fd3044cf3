// Runs a piece of a test in a child process, for what must not happen to the test itself: a
// file-size limit, another user's identity, a private view of the mounted file systems.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>

namespace qv::test {

struct ChildRun {
  int status = -1;   // what the body returned (0..255), or -1 when the child did not exit
  std::string text;  // what the body put into its text argument
};

// Runs `prepare` and then `body` in a child process; the body returns its exit status and may
// describe what it saw in its text argument. When `prepare` fails the body does not run and
// the child exits with 255.
ChildRun RunInChild(const std::function<bool()>& prepare,
                    const std::function<int(std::string&)>& body);

// A user other than the one running the tests, for tests run as root, whom permission bits
// and sticky directories do not stop.
struct OtherUser {
  bool available = false;  // false unless this process is root and the user exists
  uid_t user = 0;
  gid_t group = 0;
};

// The user "nobody".
OtherUser Nobody();

// Runs `body` in a child process as `other` (RunInChild; 255 when `other` is not available).
ChildRun RunAs(const OtherUser& other, const std::function<int(std::string&)>& body);

}  // namespace qv::test
