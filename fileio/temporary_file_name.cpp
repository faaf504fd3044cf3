#include "fileio/temporary_file_name.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <csignal>
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

bool ProcessIsGone(pid_t process) { return ::kill(process, 0) != 0 && errno == ESRCH; }

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
    const pid_t owner = TemporaryFileOwner(entry->d_name);
    struct stat status {};
    if (owner != 0 && ProcessIsGone(owner) &&
        ::fstatat(directory, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISREG(status.st_mode)) {
      ::unlinkat(directory, entry->d_name, 0);
    }
  }
  ::closedir(entries);
}

}  // namespace qv
