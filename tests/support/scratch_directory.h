// A directory of a test's own under the temporary directory, removed with everything in it
// (made writable again first) when the test ends, and the file helpers of the output tests.
#pragma once

#include <filesystem>
#include <set>
#include <string>

namespace qv::test {

class ScratchDirectory {
 public:
  // Creates an empty directory named for `prefix`, this process and the running test; each one
  // of a process has a name of its own.
  explicit ScratchDirectory(const std::string& prefix = "quorvanel");
  ~ScratchDirectory();
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  // The directory's own path.
  [[nodiscard]] std::string Directory() const { return directory_.string(); }

  // The path of `name` (which may contain subdirectories) inside the directory.
  std::string Path(const std::string& name) const;

  // The names in the directory, or in its subdirectory `name`, without the path.
  std::set<std::string> Names(const std::string& name = "") const;

 private:
  std::filesystem::path directory_;
};

// Writes `bytes` to a file at `path` (created or truncated).
void WriteBytes(const std::string& path, const std::string& bytes);

// The bytes of the file at `path`; empty when it cannot be read.
std::string ReadBytes(const std::string& path);

}  // namespace qv::test
