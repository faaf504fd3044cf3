// An output file that replaces its target whole or not at all. The writer fills a temporary
// file in the target's directory; only a file whose every write, flush and close succeeded is
// renamed over the target, so a failure never truncates or damages what was there before.
#pragma once

#include <cstdio>
#include <ostream>
#include <streambuf>
#include <string>

namespace qv {

class OutputFile {
 public:
  // Prepares the replacement of the file at `path` (any length, NUL-free). A symbolic link is
  // followed: the file it finally names is replaced and the link stays. The temporary file gets
  // the permission bits of the file it replaces, or those of a new file (0666 less the umask).
  // IsOpen() is false, and nothing exists or changed on disk, when the target is a directory,
  // an existing file the user may not write, or a file whose directory is missing or cannot
  // take a new file. A target that is neither a regular file nor a directory (a terminal, a
  // pipe, /dev/null) holds no contents to protect and is written straight through.
  explicit OutputFile(const std::string& path);

  // Removes the temporary file unless Commit() succeeded; the target is then left untouched.
  ~OutputFile();

  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // True when the writer may write; false after Commit().
  bool IsOpen() const { return file_ != nullptr; }

  // The byte stream to write to, for writers on C streams; nullptr when not open. Bytes are
  // written as given (no line-end translation). Do not close it: Commit() does.
  std::FILE* File() const { return file_; }

  // The same byte stream for writers on C++ streams; writes fail (badbit) when not open. Both
  // views may be mixed: this one keeps no buffer of its own.
  std::ostream& Stream() { return stream_; }

  // Finishes the file: checks that no write through either view failed, flushes the bytes to
  // the disk, closes the file and renames it over the target. Returns true when the target now
  // holds exactly the written bytes; false when any step failed, and then the temporary file is
  // gone and the target is byte for byte as it was (or still absent). Call at most once.
  bool Commit();

 private:
  // Forwards every character of Stream() to the C stream unbuffered, so that the C stream's
  // error flag also records the failures of C++ writes.
  class StdioForwarder : public std::streambuf {
   public:
    explicit StdioForwarder(std::FILE*& file) : file_(file) {}

   protected:
    int_type overflow(int_type character) override;
    std::streamsize xsputn(const char* bytes, std::streamsize count) override;

   private:
    std::FILE*& file_;
  };

  void Discard();

  std::string target_;     // the file that Commit() replaces
  std::string temporary_;  // empty when not open or when written straight through
  std::FILE* file_ = nullptr;
  StdioForwarder forwarder_{file_};
  std::ostream stream_{&forwarder_};
};

}  // namespace qv
