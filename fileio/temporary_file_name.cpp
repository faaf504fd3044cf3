#include "fileio/temporary_file_name.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <optional>

namespace qv {
namespace {

constexpr std::string_view kPrefix = ".quorvanel-";
constexpr std::string_view kSuffix = ".tmp";

// The value of `digits` (decimal, no sign, no leading zero), or nothing when it is not such a
// number or does not fit `Number`.
template <typename Number>
std::optional<Number> Decimal(std::string_view digits) {
  if (digits.empty() || (digits.size() > 1 && digits.front() == '0')) {
    return std::nullopt;
  }
  Number value = 0;
  const char* last = digits.data() + digits.size();
  const auto [stop, error] = std::from_chars(digits.data(), last, value);
  return error == std::errc() && stop == last ? std::optional<Number>(value) : std::nullopt;
}

bool IsRegularFile(const struct stat& status) { return S_ISREG(status.st_mode); }

bool SameFile(const struct stat& one, const struct stat& other) {
  return one.st_dev == other.st_dev && one.st_ino == other.st_ino;
}

// Removes the temporary file `name` of `directory` when no process holds it. Whether its
// writer still runs cannot be told by its process id: a process of another PID namespace that
// shares the directory is invisible here, and its id may belong to another process.
void RemoveIfAbandoned(int directory, const char* name) {
  struct stat named {};
  // Only a regular file is opened: opening a device node can have effects of its own.
  if (::fstatat(directory, name, &named, AT_SYMLINK_NOFOLLOW) != 0 || !IsRegularFile(named)) {
    return;
  }
  const int file =
      ::openat(directory, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (file < 0) {
    return;
  }
  // A shared lock keeps every writer out as well, and needs only the right to read. The file is
  // removed while it is held, and only when the name still stands for the file locked.
  struct stat opened {};
  if (::fstat(file, &opened) == 0 && SameFile(opened, named) &&
      ::flock(file, LOCK_SH | LOCK_NB) == 0 &&
      ::fstatat(directory, name, &named, AT_SYMLINK_NOFOLLOW) == 0 && SameFile(opened, named)) {
    ::unlinkat(directory, name, 0);
  }
  ::close(file);
}

}  // namespace

std::string TemporaryFileName(pid_t process, unsigned number) {
  return std::string(kPrefix) + std::to_string(process) + "-" + std::to_string(number) +
         std::string(kSuffix);
}

pid_t TemporaryFileOwner(std::string_view name) {
  if (!name.starts_with(kPrefix) || !name.ends_with(kSuffix)) {
    return 0;
  }
  name.remove_prefix(kPrefix.size());
  name.remove_suffix(kSuffix.size());
  const std::size_t dash = name.find('-');
  if (dash == std::string_view::npos || !Decimal<unsigned>(name.substr(dash + 1))) {
    return 0;
  }
  const std::optional<pid_t> process = Decimal<pid_t>(name.substr(0, dash));
  return process && *process > 0 ? *process : 0;
}

bool HoldTemporaryFile(int descriptor, bool named) {
  if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
    return errno != EWOULDBLOCK;
  }
  // A cleanup removes a file while it holds the lock, so a file locked only after that has no
  // name any more.
  struct stat status {};
  return !named || (::fstat(descriptor, &status) == 0 && status.st_nlink > 0);
}

void RemoveStaleTemporaryFiles(int directory) {
  const int readable = ::openat(directory, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (readable < 0) {
    return;
  }
  DIR* entries = ::fdopendir(readable);
  if (entries == nullptr) {
    ::close(readable);
    return;
  }
  while (const dirent* entry = ::readdir(entries)) {
    if (TemporaryFileOwner(entry->d_name) != 0) {
      RemoveIfAbandoned(directory, entry->d_name);
    }
  }
  ::closedir(entries);
}

}  // namespace qv
