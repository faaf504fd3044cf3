// The design file (".qvd"): one FilterSpec as a 68-byte little-endian record behind the
// length-prefixed version string, followed by the extension block (fileio/extension_block.h)
// when the design uses more than the record holds. Holds the parameters only; opening
// recalculates the design.
#pragma once

#include <cstddef>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>

#include "fileio/extension_block.h"
#include "records/filter_spec.h"

namespace qv {

// Bytes of the record: the whole file of a design without extensions.
inline constexpr std::size_t kDesignFileSize = 68;
inline constexpr std::string_view kDesignFileExtension = ".qvd";
inline constexpr std::string_view kVersionMismatchMessage =
    "Saved File does not fit with this version";
inline constexpr std::string_view kUnexpectedFormatMessage = "Unexpected file format.";

enum class LoadOutcome {
  Loaded,           // the version matched and all thirteen fields were read
  VersionMismatch,  // the version string is not this version's; nothing was stored in the spec
  Empty,            // the stream held no byte at all; the spec is untouched
  EndedEarly,       // the stream ended inside the version string or the record
  Damaged,          // the extension block is damaged; nothing was stored in the spec
};

// Writes `spec` to `out`: the version string with its one-byte length prefix (03 30 2E 38),
// then the thirteen fields in record order, each little-endian in its width (int32 or
// binary64), 68 bytes in all. A scheme, structure or scaling other than the default, or `kept`
// chunks of a later version, follow in the extension block; without them the file is the 68
// bytes alone. Returns false when the stream reports a write failure.
bool StoreDesignFile(std::ostream& out, const FilterSpec& spec, const KeptChunks& kept = {});

// Writes the design file of `spec` (and `kept`) to `path`, replacing the file there whole or
// not at all: on false the file at `path` is exactly as it was, or still absent. False when the
// file cannot be created (a directory, a missing or read-only directory, a file the user may
// not write) or when writing, flushing, closing or renaming it fails.
bool SaveDesignFile(const std::string& path, const FilterSpec& spec, const KeptChunks& kept = {});

// Reads a design file from `in` (binary mode) into `spec`. Accepts the three length-prefix
// forms of the version string (one byte below 255; FF + uint16; FF FF FF + uint32) and then
// compares it byte for byte with the version text. The record's fields are taken without any
// range check; after EndedEarly inside the record the fields read before the end already hold
// the file's values. After the record, an extension block is read: on Loaded the spec holds its
// scheme, structure and scaling (their defaults when the file has no block) and `kept` the
// chunks it does not know (none without a block); on Damaged neither `spec` nor `kept` is
// touched. Bytes after the record that do not start a block are not read further. Never
// allocates memory for a length it reads.
LoadOutcome LoadDesignFile(std::istream& in, FilterSpec& spec, KeptChunks& kept);

// As above, for a reader that writes no file again and so keeps no unknown chunks.
LoadOutcome LoadDesignFile(std::istream& in, FilterSpec& spec);

// The message to show for a load outcome: kVersionMismatchMessage, kUnexpectedFormatMessage,
// kDamagedExtensionMessage, or empty for Loaded and Empty.
std::string_view LoadOutcomeMessage(LoadOutcome outcome);

}  // namespace qv
