// An output file that replaces its target whole or not at all. The writer fills a temporary
// file in the target's directory, without a name where the system allows it; only a file whose
// every write, flush and close succeeded takes the target's name, so a failure never truncates
// or damages what was there before, and a process killed while writing leaves nothing behind
// that the next write into the directory does not remove.
#pragma once

#include <sys/stat.h>

#include <cstdio>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>

namespace qv {

class OutputFile {
 public:
  // Prepares the replacement of the file at `path` (any path the system can create, NUL-free).
  // A symbolic link is followed: the file it finally names is replaced and the link stays.
  // The temporary file gets the permission bits of the file it replaces, or those of a new
  // file (0666 less the umask). IsOpen() is false, and nothing exists or changed on disk, when
  // the target is a directory, an existing file the user may not write or may not replace
  // (another user's file in a sticky directory), or a file whose directory is missing or
  // cannot take a new file. A target that is neither a regular file nor a directory (a
  // terminal, a pipe, /dev/null) holds no contents to protect and is written straight through,
  // and so is an open descriptor of this process named as /dev/stdout, /dev/fd/N or
  // /proc/self/fd/N, at its position, whatever file it is open on (a descriptor open only for
  // reading is refused with EBADF). The set-user-ID and set-group-ID bits go over only to a
  // replacement of the same owner (and group). Temporary files that no running writer holds
  // are removed from the directory.
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
  // the disk, closes the file and gives it the target's name, then flushes the directory. Returns
  // true when the target now holds exactly the written bytes; false when any step failed, and then
  // the temporary file is gone and the target is byte for byte as it was (or still absent). Call at
  // most once.
  bool Commit();

  // The system's error number (errno) of the first failure: why the file is not open, or why
  // Commit() failed (EIO when a write through File() failed for a reason no longer known);
  // 0 while nothing failed. The desktop chooses its messages by it.
  int Error() const { return error_; }

 private:
  // Forwards every character of Stream() to the C stream unbuffered, so that the C stream's
  // error flag also records the failures of C++ writes, and keeps the error of the first.
  class StdioForwarder : public std::streambuf {
   public:
    StdioForwarder(std::FILE*& file, int& error) : file_(file), error_(error) {}

   protected:
    int_type overflow(int_type character) override;
    std::streamsize xsputn(const char* bytes, std::streamsize count) override;

   private:
    void NoteFailure();

    std::FILE*& file_;
    int& error_;
  };

  // Opens a target that is neither a regular file nor a directory for writing in place.
  void OpenStraightThrough(const std::string& path);
  // Writes through a copy of this process's open descriptor `descriptor`.
  void WriteThroughDescriptor(int descriptor);
  // Opens and locks the temporary file, with the permission bits of the file it replaces
  // (`previous`, nullptr for a new file).
  void CreateTemporary(const struct stat* previous);
  // Links an unnamed temporary file under a fresh temporary name.
  bool NameTemporary();
  void SyncDirectory() const;
  void Fail(int cause);
  void Discard();
  void CloseDirectory();

  int directory_ = -1;      // the target's directory; -1 when not open
  std::string name_;        // the target's name in it, all links followed
  bool replacing_ = false;  // false when written straight through
  bool unnamed_ = false;    // the temporary file has no name yet
  std::string temporary_;   // the temporary file's name once it has one
  int lock_ = -1;           // holds the temporary file's lock until it is renamed or gone
  std::FILE* file_ = nullptr;
  int error_ = 0;
  StdioForwarder forwarder_{file_, error_};
  std::ostream stream_{&forwarder_};
};

// How a whole-file write ended: written, or one of the two failures of the file step.
enum class OutputFileResult {
  Written,
  NotCreated,  // the target cannot be opened for writing; nothing exists or changed on disk
  NotClosed,   // a write, the flush, the close or the replacement failed; nothing changed
};

// Replaces the file at `path` whole with `bytes` through one OutputFile: every writer of the
// engine makes its text first and hands it here, so a refusal found while writing leaves no
// file behind and no writer repeats the open and commit steps.
[[nodiscard]] OutputFileResult WriteOutputFile(const std::string& path, std::string_view bytes);

}  // namespace qv
