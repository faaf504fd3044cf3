// Random, mutated and truncated byte strings fed to the design file reader: it must never
// crash, never reserve memory for a length it read, and always give one of its five outcomes.
#include "fileio/design_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <random>
#include <sstream>
#include <string>

namespace {

// The largest single allocation made while `tracking` is set.
bool tracking = false;
std::size_t largestAllocation = 0;

}  // namespace

void* operator new(std::size_t size) {
  if (tracking && size > largestAllocation) {
    largestAllocation = size;
  }
  if (void* p = std::malloc(size == 0 ? 1 : size)) {
    return p;
  }
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace qv {
namespace {

constexpr int kCases = 20000;
constexpr std::size_t kLargestAllowedAllocation = 4096;

// A design with an extension block, so that changed and cut bytes reach the block too.
std::string ValidFile() {
  FilterSpec spec;
  spec.scheme = {.active = true, .pass1 = 100.0, .stop1 = 200.0, .attenuation = 50.0};
  spec.structure = IirStructure::Sections;
  std::ostringstream out(std::ios::binary);
  StoreDesignFile(out, spec);
  return out.str();
}

// One input: pure noise, a valid file with a few bytes changed, or one cut short; the first
// bytes are often a long length prefix.
std::string Draw(std::mt19937& random, const std::string& valid) {
  std::uniform_int_distribution<int> byte(0, 255);
  std::string bytes;
  switch (random() % 4) {
    case 0: {
      bytes.resize(random() % 80);
      for (char& c : bytes) {
        c = static_cast<char>(byte(random));
      }
      break;
    }
    case 1: {
      bytes = valid;
      for (int flips = 1 + static_cast<int>(random() % 4); flips > 0; --flips) {
        bytes[random() % bytes.size()] = static_cast<char>(byte(random));
      }
      break;
    }
    case 2:
      bytes = valid.substr(0, random() % (valid.size() + 1));
      break;
    default: {
      const char* prefixes[] = {"\xFF", "\xFF\xFF\xFF", "\xFE"};
      bytes = prefixes[random() % 3];
      for (int extra = static_cast<int>(random() % 8); extra > 0; --extra) {
        bytes.push_back(static_cast<char>(byte(random)));
      }
      bytes += valid.substr(random() % valid.size());
      break;
    }
  }
  return bytes;
}

TEST(DesignFileFuzzTest, AnyBytesGiveOneOutcomeWithoutLargeAllocations) {
  std::mt19937 random(20240611u);
  const std::string valid = ValidFile();
  int counts[5] = {};
  for (int i = 0; i < kCases; ++i) {
    const std::string bytes = Draw(random, valid);
    std::istringstream in(bytes, std::ios::binary);
    FilterSpec spec;
    largestAllocation = 0;
    tracking = true;
    const LoadOutcome outcome = LoadDesignFile(in, spec);
    tracking = false;
    ASSERT_LE(largestAllocation, kLargestAllowedAllocation) << "case " << i;
    switch (outcome) {
      case LoadOutcome::Loaded:
        // A loaded file holds at least a whole record.
        ASSERT_GE(bytes.size(), kDesignFileSize) << "case " << i;
        ++counts[0];
        break;
      case LoadOutcome::VersionMismatch:
        ++counts[1];
        break;
      case LoadOutcome::Empty:
        ASSERT_TRUE(bytes.empty()) << "case " << i;
        ++counts[2];
        break;
      case LoadOutcome::EndedEarly:
        ASSERT_FALSE(bytes.empty()) << "case " << i;
        ++counts[3];
        break;
      case LoadOutcome::Damaged:
        // Only a whole record followed by the block's magic can be refused as damaged.
        ASSERT_GT(bytes.size(), kDesignFileSize) << "case " << i;
        ASSERT_EQ(spec, FilterSpec{}) << "case " << i;
        ++counts[4];
        break;
      default:
        FAIL() << "outcome outside the five, case " << i;
    }
    if (bytes.empty()) {
      ASSERT_EQ(outcome, LoadOutcome::Empty);
    }
  }
  // The drawing reaches every outcome, so the loop above judged each of them.
  for (const int count : counts) {
    EXPECT_GT(count, 0);
  }
}

}  // namespace
}  // namespace qv
