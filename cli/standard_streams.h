// The standard input and output of quorvanel-cli as stream buffers on their descriptors. A
// read that waits for input can be ended from another thread, so a --batch run whose output
// has failed ends at once, not when the next line arrives; and the output keeps the system's
// reason for its first failed write, which a buffered stream reports only later, if at all.
#pragma once

#include <array>
#include <atomic>
#include <streambuf>
#include <vector>

namespace qv::cli {

class StandardInput final : public std::streambuf {
 public:
  // Reads the open descriptor `descriptor` (which stays open).
  explicit StandardInput(int descriptor);
  ~StandardInput() override;

  StandardInput(const StandardInput&) = delete;
  StandardInput& operator=(const StandardInput&) = delete;

  // Ends a read that waits for input, and every later read, as the end of the input. May be
  // called from any thread.
  void Interrupt();

 protected:
  // A failed read throws, as the standard file buffer does, so the stream is bad and errno
  // holds the system's reason.
  int_type underflow() override;

 private:
  // Waits until the descriptor has input or Interrupt() was called; false for the latter.
  bool WaitForInput();

  int descriptor_;
  std::array<int, 2> wake_{-1, -1};  // a pipe that Interrupt() writes a byte into
  std::atomic<bool> interrupted_{false};
  std::vector<char> buffer_;
};

class StandardOutput final : public std::streambuf {
 public:
  // Writes to the open descriptor `descriptor` (which stays open).
  explicit StandardOutput(int descriptor);
  // Writes what is left; a failure then has no one to report to.
  ~StandardOutput() override;

  StandardOutput(const StandardOutput&) = delete;
  StandardOutput& operator=(const StandardOutput&) = delete;

  // The system's error number of the first write that failed; 0 while none did. Every write
  // after it fails too.
  int Error() const { return error_; }

 protected:
  int_type overflow(int_type character) override;
  int sync() override;

 private:
  // Writes the buffered bytes; false when a write failed, now or before.
  bool Drain();

  int descriptor_;
  int error_ = 0;
  std::vector<char> buffer_;
};

}  // namespace qv::cli
