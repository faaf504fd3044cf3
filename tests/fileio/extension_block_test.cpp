// The design file's extension block: written only when there is something to keep, read back
// whole, unknown chunks kept byte for byte, and every damaged block refused untouched.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "fileio/extension_block.h"

namespace qv {
namespace {

ExtensionBlock SchemeBlock() {
  ExtensionBlock block;
  block.scheme = {.active = true,
                  .minimumOrder = true,
                  .pass1 = 1000.25,
                  .pass2 = 2000.5,
                  .stop1 = 800.125,
                  .stop2 = 2500.0,
                  .attenuation = 63.5};
  return block;
}

std::string Written(const ExtensionBlock& block) {
  std::ostringstream out;
  EXPECT_TRUE(WriteExtensionBlock(out, block));
  return out.str();
}

ExtensionOutcome Read(const std::string& bytes, ExtensionBlock& block) {
  std::istringstream in(bytes);
  return ReadExtensionBlock(in, block);
}

// A chunk of a later version: tag, length, payload.
std::string Chunk(std::string_view tag, std::string_view payload) {
  std::string chunk(tag);
  const auto n = static_cast<std::uint32_t>(payload.size());
  for (int i = 0; i < 4; ++i) chunk += static_cast<char>(n >> (8 * i));
  return chunk + std::string(payload);
}

TEST(ExtensionBlock, NothingWrittenWithoutExtensions) {
  EXPECT_TRUE(Written(ExtensionBlock{}).empty());
  ExtensionBlock block;
  EXPECT_EQ(Read("", block), ExtensionOutcome::Absent);
  // An older file's tail without the magic is passed over as older readers do.
  EXPECT_EQ(Read("garbage after the record", block), ExtensionOutcome::Absent);
}

TEST(ExtensionBlock, SchemeRoundTrip) {
  const ExtensionBlock block = SchemeBlock();
  const std::string bytes = Written(block);
  EXPECT_EQ(bytes.substr(0, 4), "QVX1");
  EXPECT_EQ(bytes.size(), 8 + 8 + kSchemeChunkSize + 4);
  ExtensionBlock read;
  ASSERT_EQ(Read(bytes, read), ExtensionOutcome::Loaded);
  EXPECT_EQ(read, block);
}

TEST(ExtensionBlock, UnknownChunksKeptAndWrittenAgain) {
  ExtensionBlock block = SchemeBlock();
  const std::string later = Chunk("MASK", "payload of a later version") + Chunk("NOTE", "");
  std::copy(later.begin(), later.end(), block.kept.bytes.begin());
  block.kept.size = later.size();
  const std::string bytes = Written(block);
  ExtensionBlock read;
  ASSERT_EQ(Read(bytes, read), ExtensionOutcome::Loaded);
  EXPECT_EQ(read, block);
  EXPECT_EQ(Written(read), bytes);
}

TEST(ExtensionBlock, EveryCutAndEveryFlippedByteRefused) {
  ExtensionBlock block = SchemeBlock();
  const std::string later = Chunk("MASK", "abc");
  std::copy(later.begin(), later.end(), block.kept.bytes.begin());
  block.kept.size = later.size();
  const std::string bytes = Written(block);
  const ExtensionBlock untouched = SchemeBlock();
  for (std::size_t cut = 4; cut < bytes.size(); ++cut) {
    ExtensionBlock read = untouched;
    EXPECT_EQ(Read(bytes.substr(0, cut), read), ExtensionOutcome::Damaged) << cut;
    EXPECT_EQ(read, untouched) << cut;
  }
  for (std::size_t at = 4; at < bytes.size(); ++at) {
    for (const int bit : {0, 7}) {
      std::string damaged = bytes;
      damaged[at] = static_cast<char>(damaged[at] ^ (1 << bit));
      ExtensionBlock read = untouched;
      EXPECT_EQ(Read(damaged, read), ExtensionOutcome::Damaged) << at << " bit " << bit;
      EXPECT_EQ(read, untouched);
    }
  }
}

TEST(ExtensionBlock, AnnouncedLengthBeyondCapacityRefused) {
  std::string bytes = "QVX1";
  bytes += std::string("\xff\xff\xff\x7f", 4);
  ExtensionBlock read;
  EXPECT_EQ(Read(bytes, read), ExtensionOutcome::Damaged);
}

}  // namespace
}  // namespace qv
