#include "tests/support/scratch_directory.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

namespace qv::test {

namespace fs = std::filesystem;

ScratchDirectory::ScratchDirectory(const std::string& prefix) {
  static int made = 0;
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = prefix + "-" + std::to_string(::getpid()) + "-" + std::to_string(++made) +
                     "-" + (test != nullptr ? test->name() : "outside-a-test");
  for (char& c : name) {
    c = c == '/' ? '-' : c;  // parameterised test names hold slashes
  }
  directory_ = fs::temp_directory_path() / name;
  fs::remove_all(directory_);
  fs::create_directories(directory_);
}

ScratchDirectory::~ScratchDirectory() {
  std::error_code ignored;
  for (const auto& entry : fs::recursive_directory_iterator(directory_, ignored)) {
    if (entry.is_directory(ignored) && !entry.is_symlink(ignored)) {
      fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
  }
  fs::remove_all(directory_, ignored);
}

std::string ScratchDirectory::Path(const std::string& name) const {
  return (directory_ / name).string();
}

std::set<std::string> ScratchDirectory::Names(const std::string& name) const {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(directory_ / name)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

}  // namespace qv::test
