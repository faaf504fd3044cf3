#include "fileio/extension_block.h"

#include <algorithm>
#include <bit>

namespace qv {
namespace {

constexpr std::size_t kTagSize = 4;
constexpr std::size_t kHeaderSize = 8;  // magic and length
constexpr std::size_t kChunkHeaderSize = 8;
constexpr std::size_t kChecksumSize = 4;
constexpr std::size_t kBlockCapacity = kKeptChunkCapacity + kChunkHeaderSize + kSchemeChunkSize +
                                       kChunkHeaderSize + kStructureChunkSize;
constexpr std::uint32_t kActiveFlag = 1;
constexpr std::uint32_t kMinimumOrderFlag = 2;

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

std::uint64_t ReadLe(const std::uint8_t* p, int width) {
  std::uint64_t value = 0;
  for (int i = 0; i < width; ++i) value |= std::uint64_t{p[i]} << (8 * i);
  return value;
}

class Bytes {
 public:
  void Put(std::uint64_t value, int width) {
    for (int i = 0; i < width; ++i) data_[size_++] = static_cast<std::uint8_t>(value >> (8 * i));
  }
  void Tag(std::string_view tag) {
    for (const char c : tag) data_[size_++] = static_cast<std::uint8_t>(c);
  }
  void Real(double value) { Put(std::bit_cast<std::uint64_t>(value), 8); }
  void Append(const std::uint8_t* p, std::size_t n) {
    std::copy(p, p + n, data_.begin() + static_cast<std::ptrdiff_t>(size_));
    size_ += n;
  }
  std::uint8_t* Data() { return data_.data(); }
  std::size_t Size() const { return size_; }

 private:
  std::array<std::uint8_t, kHeaderSize + kBlockCapacity + kChecksumSize> data_{};
  std::size_t size_ = 0;
};

bool TagIs(const std::uint8_t* p, std::string_view tag) {
  return std::equal(tag.begin(), tag.end(), p,
                    [](char c, std::uint8_t b) { return static_cast<std::uint8_t>(c) == b; });
}

bool ParseScheme(const std::uint8_t* p, ToleranceScheme& scheme) {
  const auto flags = static_cast<std::uint32_t>(ReadLe(p, 4));
  if ((flags & ~(kActiveFlag | kMinimumOrderFlag)) != 0) return false;
  scheme.active = (flags & kActiveFlag) != 0;
  scheme.minimumOrder = (flags & kMinimumOrderFlag) != 0;
  double* fields[] = {&scheme.pass1, &scheme.pass2, &scheme.stop1, &scheme.stop2,
                      &scheme.attenuation};
  for (std::size_t i = 0; i < std::size(fields); ++i) {
    *fields[i] = std::bit_cast<double>(ReadLe(p + 4 + 8 * i, 8));
  }
  return true;
}

// Values outside the lists are refused as a malformed chunk, as unknown scheme flags are: a
// later structure would come in a chunk of its own, so these values are never meant.
bool ParseStructure(const std::uint8_t* p, ExtensionBlock& block) {
  const std::uint64_t structure = ReadLe(p, 4);
  const std::uint64_t scaling = ReadLe(p + 4, 4);
  if (structure > static_cast<std::uint64_t>(IirStructure::Sections) ||
      scaling > static_cast<std::uint64_t>(SectionScaling::L2)) {
    return false;
  }
  block.structure = static_cast<IirStructure>(structure);
  block.sectionScaling = static_cast<SectionScaling>(scaling);
  return true;
}

bool HasStructure(const ExtensionBlock& block) {
  return block.structure != IirStructure::Direct ||
         block.sectionScaling != SectionScaling::LInfinity;
}

}  // namespace

bool HasExtensions(const ExtensionBlock& block) {
  return block.scheme != ToleranceScheme{} || HasStructure(block) || block.kept.size > 0;
}

ExtensionOutcome ReadExtensionBlock(std::istream& in, ExtensionBlock& block) {
  std::array<std::uint8_t, kHeaderSize + kBlockCapacity + kChecksumSize> raw{};
  in.read(reinterpret_cast<char*>(raw.data()), static_cast<std::streamsize>(kHeaderSize));
  const auto got = static_cast<std::size_t>(in.gcount());
  if (got < kTagSize || !TagIs(raw.data(), kExtensionMagic)) return ExtensionOutcome::Absent;
  if (got < kHeaderSize) return ExtensionOutcome::Damaged;
  const std::uint64_t length = ReadLe(raw.data() + kTagSize, 4);
  if (length > kBlockCapacity) return ExtensionOutcome::Damaged;
  const std::size_t rest = static_cast<std::size_t>(length) + kChecksumSize;
  in.read(reinterpret_cast<char*>(raw.data() + kHeaderSize), static_cast<std::streamsize>(rest));
  if (static_cast<std::size_t>(in.gcount()) != rest) return ExtensionOutcome::Damaged;
  const std::size_t end = kHeaderSize + static_cast<std::size_t>(length);
  if (Crc32(raw.data(), end) != ReadLe(raw.data() + end, 4)) return ExtensionOutcome::Damaged;

  ExtensionBlock read;
  bool sawScheme = false;
  bool sawStructure = false;
  for (std::size_t at = kHeaderSize; at < end;) {
    if (end - at < kChunkHeaderSize) return ExtensionOutcome::Damaged;
    const std::uint64_t size = ReadLe(raw.data() + at + kTagSize, 4);
    if (size > end - at - kChunkHeaderSize) return ExtensionOutcome::Damaged;
    const std::uint8_t* payload = raw.data() + at + kChunkHeaderSize;
    const std::size_t whole = kChunkHeaderSize + static_cast<std::size_t>(size);
    if (TagIs(raw.data() + at, kSchemeChunkTag)) {
      if (sawScheme || size != kSchemeChunkSize || !ParseScheme(payload, read.scheme)) {
        return ExtensionOutcome::Damaged;
      }
      sawScheme = true;
    } else if (TagIs(raw.data() + at, kStructureChunkTag)) {
      if (sawStructure || size != kStructureChunkSize || !ParseStructure(payload, read)) {
        return ExtensionOutcome::Damaged;
      }
      sawStructure = true;
    } else {
      if (read.kept.size + whole > kKeptChunkCapacity) return ExtensionOutcome::Damaged;
      std::copy(raw.data() + at, raw.data() + at + whole,
                read.kept.bytes.begin() + static_cast<std::ptrdiff_t>(read.kept.size));
      read.kept.size += whole;
    }
    at += whole;
  }
  block = read;
  return ExtensionOutcome::Loaded;
}

bool WriteExtensionBlock(std::ostream& out, const ExtensionBlock& block) {
  if (!HasExtensions(block)) return static_cast<bool>(out);
  Bytes bytes;
  bytes.Tag(kExtensionMagic);
  bytes.Put(0, 4);  // length, filled in below
  if (block.scheme != ToleranceScheme{}) {
    const ToleranceScheme& s = block.scheme;
    bytes.Tag(kSchemeChunkTag);
    bytes.Put(kSchemeChunkSize, 4);
    bytes.Put((s.active ? kActiveFlag : 0u) | (s.minimumOrder ? kMinimumOrderFlag : 0u), 4);
    for (const double v : {s.pass1, s.pass2, s.stop1, s.stop2, s.attenuation}) bytes.Real(v);
  }
  if (HasStructure(block)) {
    bytes.Tag(kStructureChunkTag);
    bytes.Put(kStructureChunkSize, 4);
    bytes.Put(static_cast<std::uint32_t>(block.structure), 4);
    bytes.Put(static_cast<std::uint32_t>(block.sectionScaling), 4);
  }
  bytes.Append(block.kept.bytes.data(), std::min(block.kept.size, kKeptChunkCapacity));
  const std::size_t length = bytes.Size() - kHeaderSize;
  for (int i = 0; i < 4; ++i) {
    bytes.Data()[kTagSize + i] = static_cast<std::uint8_t>(length >> (8 * i));
  }
  bytes.Put(Crc32(bytes.Data(), bytes.Size()), 4);
  out.write(reinterpret_cast<const char*>(bytes.Data()),
            static_cast<std::streamsize>(bytes.Size()));
  return static_cast<bool>(out);
}

}  // namespace qv
