#include "cli/standard_streams.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <ios>

namespace qv::cli {
namespace {

// Bytes asked for by each read and written by each write: as much as a pipe holds at once.
constexpr std::size_t kBufferBytes = 65536;

}  // namespace

StandardInput::StandardInput(int descriptor) : descriptor_(descriptor), buffer_(kBufferBytes) {
  // Without the pipe a read cannot be ended early; it then waits as any read does.
  if (::pipe2(wake_.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
    wake_ = {-1, -1};
  }
}

StandardInput::~StandardInput() {
  for (const int end : wake_) {
    if (end >= 0) {
      ::close(end);
    }
  }
}

void StandardInput::Interrupt() {
  interrupted_ = true;
  if (wake_[1] >= 0) {
    const char byte = 0;
    // A full pipe has woken the reader already.
    [[maybe_unused]] const ssize_t written = ::write(wake_[1], &byte, 1);
  }
}

bool StandardInput::WaitForInput() {
  if (wake_[0] < 0) {
    return !interrupted_;
  }
  std::array<pollfd, 2> watched{{{descriptor_, POLLIN, 0}, {wake_[0], POLLIN, 0}}};
  for (;;) {
    if (interrupted_) {
      return false;
    }
    // An error or hang-up on the descriptor is left to the read, which reports it.
    if (::poll(watched.data(), watched.size(), -1) > 0) {
      return watched[1].revents == 0;
    }
    if (errno != EINTR) {
      return true;
    }
  }
}

StandardInput::int_type StandardInput::underflow() {
  if (gptr() < egptr()) {
    return traits_type::to_int_type(*gptr());
  }
  ssize_t count = -1;
  do {
    if (!WaitForInput()) {
      return traits_type::eof();
    }
    count = ::read(descriptor_, buffer_.data(), buffer_.size());
  } while (count < 0 && errno == EINTR);
  if (count < 0) {
    throw std::ios_base::failure("standard input cannot be read");
  }
  if (count == 0) {
    return traits_type::eof();
  }
  setg(buffer_.data(), buffer_.data(), buffer_.data() + count);
  return traits_type::to_int_type(*gptr());
}

StandardOutput::StandardOutput(int descriptor) : descriptor_(descriptor), buffer_(kBufferBytes) {
  setp(buffer_.data(), buffer_.data() + buffer_.size());
}

StandardOutput::~StandardOutput() { Drain(); }

bool StandardOutput::Drain() {
  const char* next = pbase();
  while (error_ == 0 && next < pptr()) {
    const ssize_t count = ::write(descriptor_, next, static_cast<std::size_t>(pptr() - next));
    if (count > 0) {
      next += count;
    } else if (count < 0 && errno != EINTR) {
      error_ = errno;
    }
  }
  setp(buffer_.data(), buffer_.data() + buffer_.size());
  return error_ == 0;
}

StandardOutput::int_type StandardOutput::overflow(int_type character) {
  if (!Drain()) {
    return traits_type::eof();
  }
  if (!traits_type::eq_int_type(character, traits_type::eof())) {
    *pptr() = traits_type::to_char_type(character);
    pbump(1);
  }
  return traits_type::not_eof(character);
}

int StandardOutput::sync() { return Drain() ? 0 : -1; }

}  // namespace qv::cli
