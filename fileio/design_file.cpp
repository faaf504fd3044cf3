#include "fileio/design_file.h"

#include <array>
#include <bit>
#include <cstdint>
#include <type_traits>

#include "fileio/output_file.h"
#include "records/identification.h"

namespace qv {

namespace {

constexpr std::uint8_t kLongPrefix = 0xFF;       // a longer length follows
constexpr std::uint16_t kLongerPrefix = 0xFFFF;  // a 32-bit length follows
constexpr std::size_t kShortPrefixLimit = 255;   // lengths below it take one byte

// Collects the bytes of one file in order, little-endian.
class RecordWriter {
 public:
  void Byte(std::uint8_t value) { bytes_[size_++] = value; }
  void Unsigned(std::uint64_t value, int width) {
    for (int i = 0; i < width; ++i) {
      Byte(static_cast<std::uint8_t>(value >> (8 * i)));
    }
  }
  template <typename Field>
  void Int32(Field value) {
    Unsigned(static_cast<std::uint32_t>(static_cast<std::int32_t>(value)), 4);
  }
  void Real(double value) { Unsigned(std::bit_cast<std::uint64_t>(value), 8); }

  const char* Data() const { return reinterpret_cast<const char*>(bytes_.data()); }
  std::size_t Size() const { return size_; }

 private:
  std::array<std::uint8_t, kDesignFileSize> bytes_{};
  std::size_t size_ = 0;
};

// Reads little-endian values; every read reports whether the stream held all its bytes.
class RecordReader {
 public:
  explicit RecordReader(std::istream& in) : in_(in) {}

  bool Unsigned(std::uint64_t& value, int width) {
    std::array<char, 8> bytes{};
    in_.read(bytes.data(), width);
    if (in_.gcount() != width) {
      return false;
    }
    value = 0;
    for (int i = 0; i < width; ++i) {
      value |= std::uint64_t{static_cast<unsigned char>(bytes[i])} << (8 * i);
    }
    return true;
  }
  template <typename Field>
  bool Int32(Field& field) {
    std::uint64_t raw = 0;
    if (!Unsigned(raw, 4)) {
      return false;
    }
    // The enumerations hold any int32, so every value read is representable.
    field = static_cast<Field>(static_cast<std::int32_t>(static_cast<std::uint32_t>(raw)));
    return true;
  }
  bool Real(double& field) {
    std::uint64_t raw = 0;
    if (!Unsigned(raw, 8)) {
      return false;
    }
    field = std::bit_cast<double>(raw);
    return true;
  }
  // Passes over `count` bytes without keeping them.
  bool Skip(std::uint64_t count) {
    in_.ignore(static_cast<std::streamsize>(count));
    return static_cast<std::uint64_t>(in_.gcount()) == count;
  }

 private:
  std::istream& in_;
};

enum class VersionCheck { Matches, Differs, EndedEarly };

VersionCheck ReadVersion(RecordReader& reader, std::uint64_t firstByte) {
  std::uint64_t length = firstByte;
  if (firstByte == kLongPrefix) {
    if (!reader.Unsigned(length, 2)) {
      return VersionCheck::EndedEarly;
    }
    if (length == kLongerPrefix && !reader.Unsigned(length, 4)) {
      return VersionCheck::EndedEarly;
    }
  }
  if (length != kVersionText.size()) {
    return reader.Skip(length) ? VersionCheck::Differs : VersionCheck::EndedEarly;
  }
  for (std::uint64_t i = 0; i < length; ++i) {
    std::uint64_t actual = 0;
    if (!reader.Unsigned(actual, 1)) {
      return VersionCheck::EndedEarly;
    }
    if (actual != static_cast<unsigned char>(kVersionText[i])) {
      // The rest of the string is still passed over, so that a truncated file counts as such.
      return reader.Skip(length - 1 - i) ? VersionCheck::Differs : VersionCheck::EndedEarly;
    }
  }
  return VersionCheck::Matches;
}

}  // namespace

bool StoreDesignFile(std::ostream& out, const FilterSpec& spec, const KeptChunks& kept) {
  static_assert(kVersionText.size() < kShortPrefixLimit, "the version takes a one-byte prefix");
  RecordWriter writer;
  writer.Byte(static_cast<std::uint8_t>(kVersionText.size()));
  for (const char c : kVersionText) {
    writer.Byte(static_cast<std::uint8_t>(c));
  }
  writer.Int32(spec.filterClass);
  writer.Int32(spec.bandType);
  writer.Int32(spec.model);
  writer.Int32(spec.order);
  writer.Int32(spec.effectiveOrder);
  writer.Real(spec.rollOff);
  writer.Int32(spec.fcut1);
  writer.Int32(spec.fcut2);
  writer.Int32(spec.fsample);
  writer.Real(spec.fcenter);
  writer.Real(spec.ripple);
  writer.Int32(spec.taps);
  writer.Int32(spec.quantization);
  out.write(writer.Data(), static_cast<std::streamsize>(writer.Size()));
  ExtensionBlock block;
  block.scheme = spec.scheme;
  block.structure = spec.structure;
  block.sectionScaling = spec.sectionScaling;
  block.kept = kept;
  return WriteExtensionBlock(out, block);
}

bool SaveDesignFile(const std::string& path, const FilterSpec& spec, const KeptChunks& kept) {
  OutputFile output(path);
  return output.IsOpen() && StoreDesignFile(output.Stream(), spec, kept) && output.Commit();
}

LoadOutcome LoadDesignFile(std::istream& in, FilterSpec& spec) {
  KeptChunks ignored;
  return LoadDesignFile(in, spec, ignored);
}

LoadOutcome LoadDesignFile(std::istream& in, FilterSpec& spec, KeptChunks& kept) {
  RecordReader reader(in);
  std::uint64_t firstByte = 0;
  if (!reader.Unsigned(firstByte, 1)) {
    return LoadOutcome::Empty;
  }
  switch (ReadVersion(reader, firstByte)) {
    case VersionCheck::Differs:
      return LoadOutcome::VersionMismatch;
    case VersionCheck::EndedEarly:
      return LoadOutcome::EndedEarly;
    case VersionCheck::Matches:
      break;
  }
  // Read into a copy: a damaged block after a whole record must leave the spec as it was.
  FilterSpec read = spec;
  const bool complete =
      reader.Int32(read.filterClass) && reader.Int32(read.bandType) && reader.Int32(read.model) &&
      reader.Int32(read.order) && reader.Int32(read.effectiveOrder) && reader.Real(read.rollOff) &&
      reader.Int32(read.fcut1) && reader.Int32(read.fcut2) && reader.Int32(read.fsample) &&
      reader.Real(read.fcenter) && reader.Real(read.ripple) && reader.Int32(read.taps) &&
      reader.Int32(read.quantization);
  if (!complete) {
    spec = read;
    return LoadOutcome::EndedEarly;
  }
  // A file without a block describes a design without extensions, whatever the spec held.
  ExtensionBlock block;
  if (ReadExtensionBlock(in, block) == ExtensionOutcome::Damaged) {
    return LoadOutcome::Damaged;
  }
  read.scheme = block.scheme;
  read.structure = block.structure;
  read.sectionScaling = block.sectionScaling;
  spec = read;
  kept = block.kept;
  return LoadOutcome::Loaded;
}

std::string_view LoadOutcomeMessage(LoadOutcome outcome) {
  switch (outcome) {
    case LoadOutcome::VersionMismatch:
      return kVersionMismatchMessage;
    case LoadOutcome::EndedEarly:
      return kUnexpectedFormatMessage;
    case LoadOutcome::Damaged:
      return kDamagedExtensionMessage;
    case LoadOutcome::Loaded:
    case LoadOutcome::Empty:
      break;
  }
  return {};
}

}  // namespace qv
