#include "fileio/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <climits>

namespace qv {
namespace {

// Linux gives up on a chain of symbolic links at the same length.
constexpr int kMaxLinkHops = 40;
// Fresh names tried for the temporary file before giving up; a clash needs a stale file of an
// earlier process with the same process id and counter.
constexpr int kMaxNameAttempts = 100;
// The permission bits that a replaced file hands on to its replacement.
constexpr mode_t kPermissionBits = 07777;
// What a new file asks for; the umask takes away from it, as for any file the program creates.
constexpr mode_t kNewFileMode = 0666;

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The path of the file that `path` finally names, its symbolic links followed one by one (a
// relative link counts from the link's own directory); empty when the chain is too long or
// cannot be read. The last link may dangle: the file it names is then created.
std::string FollowLinks(std::string path) {
  for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
      return path;
    }
    std::array<char, PATH_MAX> link{};
    const ssize_t length = ::readlink(path.c_str(), link.data(), link.size());
    if (length <= 0 || static_cast<std::size_t>(length) == link.size()) {
      return {};
    }
    const std::string next(link.data(), static_cast<std::size_t>(length));
    path = next.front() == '/' ? next : DirectoryOf(path) + next;
  }
  return {};
}

// Creates a new, empty file beside `target` and returns its descriptor, or -1; `name` receives
// its path. The name starts with a dot so that file lists do not show it while it is written.
int CreateTemporary(const std::string& target, std::string& name) {
  static std::atomic<unsigned> counter{0};
  const std::string stem = DirectoryOf(target) + ".quorvanel-" + std::to_string(::getpid()) + "-";
  for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
    name = stem + std::to_string(counter.fetch_add(1)) + ".tmp";
    const int descriptor =
        ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
    if (descriptor >= 0 || errno != EEXIST) {
      return descriptor;
    }
  }
  return -1;
}

}  // namespace

OutputFile::OutputFile(const std::string& path) {
  if (path.empty() || path.back() == '/') {
    return;
  }
  struct stat existing {};
  const bool exists = ::stat(path.c_str(), &existing) == 0;
  if (exists && S_ISDIR(existing.st_mode)) {
    return;
  }
  if (exists && !S_ISREG(existing.st_mode)) {
    file_ = std::fopen(path.c_str(), "w");
    return;
  }
  // Replacing takes only the directory's permission; a file the user may not write is kept.
  if (exists && ::access(path.c_str(), W_OK) != 0) {
    return;
  }
  target_ = FollowLinks(path);
  if (target_.empty()) {
    return;
  }
  const int descriptor = CreateTemporary(target_, temporary_);
  if (descriptor < 0) {
    temporary_.clear();
    return;
  }
  file_ = (!exists || ::fchmod(descriptor, existing.st_mode & kPermissionBits) == 0)
              ? ::fdopen(descriptor, "w")
              : nullptr;
  if (file_ == nullptr) {
    ::close(descriptor);
    Discard();
  }
}

OutputFile::~OutputFile() { Discard(); }

bool OutputFile::Commit() {
  if (file_ == nullptr) {
    return false;
  }
  bool written = !stream_.fail() && std::fflush(file_) == 0 && std::ferror(file_) == 0;
  if (written && !temporary_.empty()) {
    written = ::fsync(::fileno(file_)) == 0;
  }
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  if (temporary_.empty()) {
    return written && closed;
  }
  if (!written || !closed || std::rename(temporary_.c_str(), target_.c_str()) != 0) {
    Discard();
    return false;
  }
  temporary_.clear();
  return true;
}

void OutputFile::Discard() {
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
  if (!temporary_.empty()) {
    ::unlink(temporary_.c_str());
    temporary_.clear();
  }
}

OutputFile::StdioForwarder::int_type OutputFile::StdioForwarder::overflow(int_type character) {
  if (file_ == nullptr) {
    return traits_type::eof();
  }
  if (traits_type::eq_int_type(character, traits_type::eof())) {
    return traits_type::not_eof(character);
  }
  return std::fputc(character, file_) == EOF ? traits_type::eof() : character;
}

std::streamsize OutputFile::StdioForwarder::xsputn(const char* bytes, std::streamsize count) {
  if (file_ == nullptr || count <= 0) {
    return 0;
  }
  return static_cast<std::streamsize>(
      std::fwrite(bytes, 1, static_cast<std::size_t>(count), file_));
}

}  // namespace qv
