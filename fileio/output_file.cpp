#include "fileio/output_file.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <climits>
#include <optional>

#include "fileio/temporary_file_name.h"

namespace qv {
namespace {

// Linux gives up on a chain of symbolic links at the same length.
constexpr int kMaxLinkHops = 40;
// Fresh names tried for a temporary file before giving up; a clash needs a stale file of an
// earlier process with the same process id and counter.
constexpr int kMaxNameAttempts = 100;
// The permission bits that a replaced file hands on to its replacement.
constexpr mode_t kPermissionBits = 07777;
// The bits that run a program as its file's owner or group: handed on only to a replacement
// of that owner (and group).
constexpr mode_t kSetUserBit = S_ISUID;
constexpr mode_t kSetGroupBit = S_ISGID;
// What a new file asks for; the umask takes away from it, as for any file the program creates.
constexpr mode_t kNewFileMode = 0666;
// Where a process that may not link a file by its descriptor alone finds the file by a path.
constexpr const char* kOwnDescriptors = "/proc/self/fd/";
// The tables of this process's open descriptors; /dev/fd and /dev/stdout lead there.
constexpr const char* kDescriptorTables[] = {"/proc/self/fd", "/proc/thread-self/fd"};

std::atomic<unsigned> temporaryCounter{0};

bool IsProcessFileSystem(int directory) {
  struct statfs system {};
  return ::fstatfs(directory, &system) == 0 && system.f_type == PROC_SUPER_MAGIC;
}

// Opens the directory that holds the file `path` finally names, following symbolic links one by
// one (a relative link counts from the link's own directory), and puts the file's name there
// into `name`. Every step is relative to a directory descriptor, so no path grows longer than
// the longest one given. Returns -1 (errno set) when a directory cannot be opened or the chain
// is too long. The last link may dangle: the file it names is then created. A link of /proc
// (such as /proc/self/fd/1) is not followed: it stands for an open file, and its text, such as
// "/tmp/x (deleted)" or "/memfd:x", is no path to it.
int OpenFinalDirectory(std::string path, std::string& name) {
  int base = AT_FDCWD;  // where a relative path starts; an absolute one ignores it
  for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    name = slash == std::string::npos ? path : path.substr(slash + 1);
    const int directory = ::openat(base, folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    const int openError = errno;
    if (base != AT_FDCWD) {
      ::close(base);
    }
    if (directory < 0) {
      errno = openError;
      return -1;
    }
    struct stat status {};
    if (name.empty() || ::fstatat(directory, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISLNK(status.st_mode) || IsProcessFileSystem(directory)) {
      return directory;
    }
    std::array<char, PATH_MAX> link{};
    const ssize_t length = ::readlinkat(directory, name.c_str(), link.data(), link.size());
    if (length <= 0 || static_cast<std::size_t>(length) == link.size()) {
      const int cause = length < 0 ? errno : ENAMETOOLONG;
      ::close(directory);
      errno = cause;
      return -1;
    }
    path.assign(link.data(), static_cast<std::size_t>(length));
    base = directory;
  }
  ::close(base);
  errno = ELOOP;
  return -1;
}

// The descriptor of this process that `name` in `directory` stands for, when the directory is
// a table of this process's open descriptors; nothing otherwise.
std::optional<int> OwnDescriptor(int directory, const std::string& name) {
  struct stat table {};
  if (!IsProcessFileSystem(directory) || ::fstat(directory, &table) != 0) {
    return std::nullopt;
  }
  bool own = false;
  for (const char* path : kDescriptorTables) {
    struct stat candidate {};
    own = own || (::stat(path, &candidate) == 0 && candidate.st_dev == table.st_dev &&
                  candidate.st_ino == table.st_ino);
  }
  int descriptor = -1;
  const char* last = name.data() + name.size();
  const auto [stop, error] = std::from_chars(name.data(), last, descriptor);
  if (!own || name.empty() || error != std::errc() || stop != last || descriptor < 0) {
    return std::nullopt;
  }
  return descriptor;
}

// The permission bits of a replacement `created` for the file `previous`: all of the previous
// file's, but a program runs as its file's owner or group, so a replacement of another owner
// (root's, of a file of nobody) does not run as that owner, nor one of another group as that
// group.
mode_t InheritedPermissions(const struct stat& previous, const struct stat& created) {
  mode_t permissions = previous.st_mode & kPermissionBits;
  if (created.st_uid != previous.st_uid) {
    permissions &= ~(kSetUserBit | kSetGroupBit);
  } else if (created.st_gid != previous.st_gid) {
    permissions &= ~kSetGroupBit;
  }
  return permissions;
}

// In a sticky directory only the file's owner, the directory's owner and root may rename over
// a file. The system checks that only at the rename, once the whole file is written.
bool MayReplace(int directory, const struct stat& file) {
  struct stat folder {};
  if (::fstat(directory, &folder) != 0) {
    return false;
  }
  const uid_t user = ::geteuid();
  return (folder.st_mode & S_ISVTX) == 0 || user == 0 || user == file.st_uid ||
         user == folder.st_uid;
}

}  // namespace

OutputFile::OutputFile(const std::string& path) {
  if (path.empty() || path.back() == '/' || path.find('\0') != std::string::npos) {
    Fail(path.empty() ? ENOENT : path.back() == '/' ? EISDIR : EINVAL);
    return;
  }
  directory_ = OpenFinalDirectory(path, name_);
  if (directory_ < 0) {
    Fail(errno);
    return;
  }
  // /dev/stdout, /dev/fd/N and /proc/self/fd/N are this process's open descriptors: what is
  // written goes where the descriptor writes, as it would for the program's own output.
  if (const std::optional<int> descriptor = OwnDescriptor(directory_, name_)) {
    if (*descriptor == directory_) {
      Fail(EBADF);  // the number was free: the directory just opened took it
    } else {
      WriteThroughDescriptor(*descriptor);
    }
    CloseDirectory();
    return;
  }
  // The system follows the whole path here, which may name a pipe or a terminal rather than
  // a file.
  struct stat existing {};
  if (::stat(path.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode)) {
    if (S_ISDIR(existing.st_mode)) {
      Fail(EISDIR);
    } else {
      OpenStraightThrough(path);
    }
    CloseDirectory();
    return;
  }
  const bool exists = ::fstatat(directory_, name_.c_str(), &existing, 0) == 0;
  if (name_.empty() || name_ == "." || name_ == ".." || (exists && S_ISDIR(existing.st_mode))) {
    Fail(EISDIR);
  } else if (!exists && errno != ENOENT) {
    Fail(errno);
  } else if (exists && !S_ISREG(existing.st_mode)) {
    Fail(EBUSY);  // the file was swapped for a special one while the links were followed
  } else if (exists && ::faccessat(directory_, name_.c_str(), W_OK, AT_EACCESS) != 0) {
    // Replacing takes only the directory's permission; a file the user may not write is kept.
    Fail(errno);
  } else if (exists && !MayReplace(directory_, existing)) {
    Fail(EPERM);
  } else {
    replacing_ = true;
    RemoveStaleTemporaryFiles(directory_);
    CreateTemporary(exists ? &existing : nullptr);
  }
  if (file_ == nullptr) {
    Discard();
  }
}

void OutputFile::OpenStraightThrough(const std::string& path) {
  // Opened without truncation: should a regular file have taken the name meanwhile, it is
  // refused rather than written over in place.
  const int descriptor = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
  struct stat opened {};
  if (descriptor < 0 || ::fstat(descriptor, &opened) != 0) {
    Fail(errno);
  } else if (S_ISREG(opened.st_mode)) {
    Fail(EBUSY);
  } else if ((file_ = ::fdopen(descriptor, "w")) == nullptr) {
    Fail(errno);
  }
  if (file_ == nullptr && descriptor >= 0) {
    ::close(descriptor);
  }
}

void OutputFile::WriteThroughDescriptor(int descriptor) {
  struct stat opened {};
  const int flags = ::fcntl(descriptor, F_GETFL);
  if (flags < 0 || ::fstat(descriptor, &opened) != 0) {
    Fail(errno);  // EBADF: no such descriptor is open
    return;
  }
  if (S_ISDIR(opened.st_mode)) {
    Fail(EISDIR);
    return;
  }
  if ((flags & O_PATH) != 0 || (flags & O_ACCMODE) == O_RDONLY) {
    Fail(EBADF);
    return;
  }
  // A copy shares the descriptor's position, so the bytes follow what was written through it.
  const int copy = ::fcntl(descriptor, F_DUPFD_CLOEXEC, 0);
  if (copy < 0 || (file_ = ::fdopen(copy, "w")) == nullptr) {
    Fail(errno);
    if (copy >= 0) {
      ::close(copy);
    }
  }
}

OutputFile::~OutputFile() { Discard(); }

void OutputFile::CreateTemporary(const struct stat* previous) {
  int descriptor = -1;
  // Without a name until complete, so that a kill leaves nothing; it gets one through /proc.
  if (::access(kOwnDescriptors, X_OK) == 0) {
    descriptor = ::openat(directory_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, kNewFileMode);
    unnamed_ = descriptor >= 0;
    if (unnamed_) {
      // No other process can reach the file yet, so the lock is always had.
      HoldTemporaryFile(descriptor, false);
    }
  }
  for (int attempt = 0; descriptor < 0 && attempt < kMaxNameAttempts; ++attempt) {
    temporary_ = TemporaryFileName(::getpid(), temporaryCounter.fetch_add(1));
    descriptor = ::openat(directory_, temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                          kNewFileMode);
    if (descriptor < 0 && errno != EEXIST) {
      break;
    }
    if (descriptor >= 0 && !HoldTemporaryFile(descriptor, true)) {
      // Another writer's cleanup took the file; it removes it.
      ::close(descriptor);
      descriptor = -1;
      temporary_.clear();
    }
  }
  if (descriptor < 0) {
    Fail(errno);
    temporary_.clear();
    return;
  }
  struct stat created {};
  if (previous != nullptr &&
      (::fstat(descriptor, &created) != 0 ||
       ::fchmod(descriptor, InheritedPermissions(*previous, created)) != 0)) {
    Fail(errno);
    ::close(descriptor);
    return;
  }
  // The lock lasts while this copy is open: until the file has the target's name or is gone.
  lock_ = ::fcntl(descriptor, F_DUPFD_CLOEXEC, 0);
  if (lock_ < 0 || (file_ = ::fdopen(descriptor, "w")) == nullptr) {
    Fail(errno);
    ::close(descriptor);
  }
}

bool OutputFile::NameTemporary() {
  const int descriptor = ::fileno(file_);
  const std::string self = kOwnDescriptors + std::to_string(descriptor);
  for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
    temporary_ = TemporaryFileName(::getpid(), temporaryCounter.fetch_add(1));
    // Linking by the descriptor alone needs a privilege; the /proc path does not.
    if (::linkat(descriptor, "", directory_, temporary_.c_str(), AT_EMPTY_PATH) == 0 ||
        ::linkat(AT_FDCWD, self.c_str(), directory_, temporary_.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      return true;
    }
    if (errno != EEXIST) {
      break;
    }
  }
  Fail(errno);
  temporary_.clear();
  return false;
}

bool OutputFile::Commit() {
  if (file_ == nullptr) {
    return false;
  }
  bool done = true;
  if (stream_.fail() || std::ferror(file_) != 0) {
    Fail(EIO);  // the forwarder kept the cause of a failed C++ write
    done = false;
  } else if (std::fflush(file_) != 0 || (replacing_ && ::fsync(::fileno(file_)) != 0)) {
    Fail(errno);
    done = false;
  }
  // An unnamed file must get its name while it is still open. The system cannot link it over
  // an existing name, so it gets a temporary name first and is then renamed over the target.
  if (done && unnamed_) {
    done = NameTemporary();
  }
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  if (!closed) {
    Fail(errno);
    done = false;
  }
  if (done && replacing_ &&
      ::renameat(directory_, temporary_.c_str(), directory_, name_.c_str()) != 0) {
    Fail(errno);
    done = false;
  }
  if (done && replacing_) {
    temporary_.clear();
    SyncDirectory();
  }
  Discard();
  return done;
}

void OutputFile::SyncDirectory() const {
  // The new name reaches the disk with the directory. The target already holds the new bytes,
  // so a failure here is no failure of the output: the file is complete and in place, and only
  // a power loss before the system writes the directory by itself could bring back the
  // previous file (whole, as its bytes were never touched).
  const int folder = ::openat(directory_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    ::fsync(folder);
    ::close(folder);
  }
}

void OutputFile::Fail(int cause) {
  if (error_ == 0) {
    error_ = cause != 0 ? cause : EIO;
  }
}

void OutputFile::Discard() {
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
  // Removed while still locked, so that no cleanup can take the name meanwhile.
  if (!temporary_.empty()) {
    ::unlinkat(directory_, temporary_.c_str(), 0);
    temporary_.clear();
  }
  if (lock_ >= 0) {
    ::close(lock_);
    lock_ = -1;
  }
  CloseDirectory();
}

void OutputFile::CloseDirectory() {
  if (directory_ >= 0) {
    ::close(directory_);
    directory_ = -1;
  }
}

void OutputFile::StdioForwarder::NoteFailure() {
  if (error_ == 0) {
    error_ = errno != 0 ? errno : EIO;
  }
}

OutputFile::StdioForwarder::int_type OutputFile::StdioForwarder::overflow(int_type character) {
  if (file_ == nullptr) {
    return traits_type::eof();
  }
  if (traits_type::eq_int_type(character, traits_type::eof())) {
    return traits_type::not_eof(character);
  }
  if (std::fputc(character, file_) == EOF) {
    NoteFailure();
    return traits_type::eof();
  }
  return character;
}

std::streamsize OutputFile::StdioForwarder::xsputn(const char* bytes, std::streamsize count) {
  if (file_ == nullptr || count <= 0) {
    return 0;
  }
  const std::size_t written = std::fwrite(bytes, 1, static_cast<std::size_t>(count), file_);
  if (written != static_cast<std::size_t>(count)) {
    NoteFailure();
  }
  return static_cast<std::streamsize>(written);
}

OutputFileResult WriteOutputFile(const std::string& path, std::string_view bytes) {
  OutputFile output(path);
  if (!output.IsOpen()) {
    return OutputFileResult::NotCreated;
  }
  output.Stream().write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return output.Commit() ? OutputFileResult::Written : OutputFileResult::NotClosed;
}

}  // namespace qv
