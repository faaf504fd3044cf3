// The extension block of the design file: what a design holds beyond the 68-byte record (the
// tolerance scheme), after byte 68 where older readers stop reading.
//   magic "QVX1", uint32 length of the chunks, the chunks, CRC-32 (IEEE) of all bytes before it
//   chunk: 4-byte tag, uint32 payload length, payload; every number little-endian
// A reader skips the chunks it does not know and keeps them to write them again.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <istream>
#include <ostream>
#include <string_view>

#include "records/tolerance_scheme.h"

namespace qv {

inline constexpr std::string_view kExtensionMagic = "QVX1";
inline constexpr std::string_view kSchemeChunkTag = "TOLS";  // flags uint32, five binary64
inline constexpr std::size_t kSchemeChunkSize = 44;
// Room for chunks of later versions, kept as read; a block with more is refused.
inline constexpr std::size_t kKeptChunkCapacity = 4096;
inline constexpr std::string_view kDamagedExtensionMessage =
    "The design file's extension block is damaged; the file was not opened.";

struct ExtensionBlock {
  ToleranceScheme scheme{};  // the default scheme when the file has no scheme chunk
  std::array<std::uint8_t, kKeptChunkCapacity> kept{};  // unknown chunks, whole, in file order
  std::size_t keptSize = 0;

  friend bool operator==(const ExtensionBlock&, const ExtensionBlock&) = default;
};

enum class ExtensionOutcome {
  Absent,   // nothing after the record, or bytes without the magic (an older file's tail)
  Loaded,   // a whole block with a matching checksum; `block` holds it
  Damaged,  // the magic, but the block is cut short, too long, malformed or its checksum fails
};

// True when `block` has anything to write: a scheme other than the default or kept chunks. A
// design without it is written as the 68-byte record alone.
bool HasExtensions(const ExtensionBlock& block);

// Reads the block from `in`, positioned after the record. `block` is written only on Loaded.
ExtensionOutcome ReadExtensionBlock(std::istream& in, ExtensionBlock& block);

// Writes the block of `block` (nothing when !HasExtensions). False when the stream fails.
bool WriteExtensionBlock(std::ostream& out, const ExtensionBlock& block);

}  // namespace qv
