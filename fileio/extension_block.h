// The extension block of the design file: what a design holds beyond the 68-byte record (the
// tolerance scheme, the IIR structure), after byte 68 where older readers stop reading.
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

#include "records/filter_spec.h"

namespace qv {

inline constexpr std::string_view kExtensionMagic = "QVX1";
inline constexpr std::string_view kSchemeChunkTag = "TOLS";  // flags uint32, five binary64
inline constexpr std::size_t kSchemeChunkSize = 44;
inline constexpr std::string_view kStructureChunkTag = "STRC";  // structure, scaling: uint32
inline constexpr std::size_t kStructureChunkSize = 8;
// Room for chunks of later versions, kept as read; a block with more is refused.
inline constexpr std::size_t kKeptChunkCapacity = 4096;
inline constexpr std::string_view kDamagedExtensionMessage =
    "The design file's extension block is damaged; the file was not opened.";

// The chunks of later versions that a reader does not know: whole (tag, length, payload), in
// file order, to be written again after its own.
struct KeptChunks {
  std::array<std::uint8_t, kKeptChunkCapacity> bytes{};
  std::size_t size = 0;

  friend bool operator==(const KeptChunks&, const KeptChunks&) = default;
};

struct ExtensionBlock {
  ToleranceScheme scheme{};  // the default scheme when the file has no scheme chunk
  // Direct form and L-infinity when the file has no structure chunk.
  IirStructure structure = IirStructure::Direct;
  SectionScaling sectionScaling = SectionScaling::LInfinity;
  KeptChunks kept{};

  friend bool operator==(const ExtensionBlock&, const ExtensionBlock&) = default;
};

enum class ExtensionOutcome {
  Absent,   // nothing after the record, or bytes without the magic (an older file's tail)
  Loaded,   // a whole block with a matching checksum; `block` holds it
  Damaged,  // the magic, but the block is cut short, too long, malformed or its checksum fails
};

// True when `block` has anything to write: a scheme, structure or scaling other than the
// default, or kept chunks. A design without it is written as the 68-byte record alone.
bool HasExtensions(const ExtensionBlock& block);

// Reads the block from `in`, positioned after the record. `block` is written only on Loaded.
ExtensionOutcome ReadExtensionBlock(std::istream& in, ExtensionBlock& block);

// Writes the block of `block` (nothing when !HasExtensions). False when the stream fails.
bool WriteExtensionBlock(std::ostream& out, const ExtensionBlock& block);

}  // namespace qv
