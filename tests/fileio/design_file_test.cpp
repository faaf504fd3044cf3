#include "fileio/design_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

namespace qv {
namespace {

static_assert(std::endian::native == std::endian::little,
              "the expected bytes are built from the machine's own little-endian layout");

std::string Store(const FilterSpec& spec) {
  std::ostringstream out(std::ios::binary);
  EXPECT_TRUE(StoreDesignFile(out, spec));
  return out.str();
}

LoadOutcome Load(const std::string& bytes, FilterSpec& spec) {
  std::istringstream in(bytes, std::ios::binary);
  return LoadDesignFile(in, spec);
}

template <typename Value>
void Put(std::string& bytes, std::size_t offset, Value value) {
  std::memcpy(bytes.data() + offset, &value, sizeof value);
}

// The record of `spec` laid out from the file's offset table, independently of the writer.
std::string ExpectedRecord(const FilterSpec& spec) {
  std::string bytes(64, '\0');
  Put(bytes, 0, spec.filterClass);
  Put(bytes, 4, spec.bandType);
  Put(bytes, 8, spec.model);
  Put(bytes, 12, spec.order);
  Put(bytes, 16, spec.effectiveOrder);
  Put(bytes, 20, spec.rollOff);
  Put(bytes, 28, spec.fcut1);
  Put(bytes, 32, spec.fcut2);
  Put(bytes, 36, spec.fsample);
  Put(bytes, 40, spec.fcenter);
  Put(bytes, 48, spec.ripple);
  Put(bytes, 56, spec.taps);
  Put(bytes, 60, spec.quantization);
  return bytes;
}

const std::string kVersionPrefix =
    "\x03"
    "0.8";

FilterSpec UnusualSpec() {
  FilterSpec spec;
  spec.filterClass = FilterClass::Fir;
  spec.bandType = BandType::BandStop;
  spec.model = FilterModel::RaisedCosine;
  spec.order = -7;
  spec.effectiveOrder = 0x12345678;
  spec.rollOff = 0.25;
  spec.fcut1 = std::numeric_limits<std::int32_t>::min();
  spec.fcut2 = std::numeric_limits<std::int32_t>::max();
  spec.fsample = 48000;
  spec.fcenter = -1.5e300;
  spec.ripple = std::numeric_limits<double>::infinity();
  spec.taps = 511;
  spec.quantization = Quantization::Signed16;
  return spec;
}

TEST(DesignFileTest, DefaultDesignIs68BytesBehindTheVersion) {
  const std::string bytes = Store(FilterSpec{});
  ASSERT_EQ(bytes.size(), kDesignFileSize);
  EXPECT_EQ(bytes.substr(0, 4), std::string("\x03\x30\x2E\x38"));
}

TEST(DesignFileTest, FieldsFollowTheOffsetTable) {
  for (const FilterSpec& spec : {FilterSpec{}, UnusualSpec()}) {
    EXPECT_EQ(Store(spec), kVersionPrefix + ExpectedRecord(spec));
  }
}

TEST(DesignFileTest, SavedDesignsOpenToTheSameThirteenValues) {
  FilterSpec invalidEnumerations = UnusualSpec();
  invalidEnumerations.filterClass = static_cast<FilterClass>(-1);
  invalidEnumerations.model = static_cast<FilterModel>(std::numeric_limits<std::int32_t>::max());
  invalidEnumerations.rollOff = -std::numeric_limits<double>::denorm_min();
  for (const FilterSpec& saved : {FilterSpec{}, UnusualSpec(), invalidEnumerations}) {
    FilterSpec opened;
    opened.order = 99;
    ASSERT_EQ(Load(Store(saved), opened), LoadOutcome::Loaded);
    EXPECT_EQ(opened, saved);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(opened.rollOff),
              std::bit_cast<std::uint64_t>(saved.rollOff));
  }
}

TEST(DesignFileTest, NotANumberKeepsItsBits) {
  FilterSpec saved;
  saved.ripple = std::bit_cast<double>(std::uint64_t{0x7FF8'0000'DEAD'BEEF});
  FilterSpec opened;
  ASSERT_EQ(Load(Store(saved), opened), LoadOutcome::Loaded);
  EXPECT_EQ(std::bit_cast<std::uint64_t>(opened.ripple), std::uint64_t{0x7FF8'0000'DEAD'BEEF});
}

struct PrefixCase {
  const char* name;
  std::string versionBytes;  // length prefix and string
  LoadOutcome expected;
};

void PrintTo(const PrefixCase& c, std::ostream* os) { *os << c.name; }

class VersionPrefixTest : public ::testing::TestWithParam<PrefixCase> {};

TEST_P(VersionPrefixTest, DecodesTheLengthAndComparesTheString) {
  const PrefixCase& c = GetParam();
  const FilterSpec saved = UnusualSpec();
  FilterSpec opened;
  const LoadOutcome outcome = Load(c.versionBytes + ExpectedRecord(saved), opened);
  EXPECT_EQ(outcome, c.expected);
  EXPECT_EQ(opened, outcome == LoadOutcome::Loaded ? saved : FilterSpec{});
}

using namespace std::string_literals;
INSTANTIATE_TEST_SUITE_P(
    Forms, VersionPrefixTest,
    ::testing::Values(
        PrefixCase{"OneByte", "\x03"s + "0.8", LoadOutcome::Loaded},
        PrefixCase{"SixteenBit", "\xFF\x03\x00"s + "0.8", LoadOutcome::Loaded},
        PrefixCase{"ThirtyTwoBit", "\xFF\xFF\xFF\x03\x00\x00\x00"s + "0.8", LoadOutcome::Loaded},
        PrefixCase{"OlderVersion", "\x03"s + "0.7", LoadOutcome::VersionMismatch},
        PrefixCase{"LongerVersion", "\x04"s + "0.80", LoadOutcome::VersionMismatch},
        PrefixCase{"ShorterVersion", "\x02"s + "0.", LoadOutcome::VersionMismatch},
        PrefixCase{"EmptyVersion", "\x00"s, LoadOutcome::VersionMismatch},
        PrefixCase{"SixteenBitLonger", "\xFF\x04\x00"s + "0.80", LoadOutcome::VersionMismatch},
        PrefixCase{"FirstByteDiffers", "\x03"s + "1.8", LoadOutcome::VersionMismatch},
        PrefixCase{"LastByteDiffers", "\x03"s + "0.9", LoadOutcome::VersionMismatch},
        // Lengths beyond what the stream holds: the file ended early, nothing is reserved.
        PrefixCase{"SixteenBitBeyondTheEnd", "\xFF\xFE\xFF"s, LoadOutcome::EndedEarly},
        PrefixCase{"ThirtyTwoBitBeyondTheEnd", "\xFF\xFF\xFF\xFF\xFF\xFF\xFF"s,
                   LoadOutcome::EndedEarly},
        PrefixCase{"OneByteBeyondTheEnd", "\xFE"s, LoadOutcome::EndedEarly}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(DesignFileTest, EveryTruncationEndsEarlyAfterStoringWhatWasRead) {
  const FilterSpec saved = UnusualSpec();
  const std::string bytes = Store(saved);
  // Offsets at which each field ends, in record order.
  const std::vector<std::size_t> fieldEnds = {8, 12, 16, 20, 24, 32, 36, 40, 44, 52, 60, 64, 68};
  for (std::size_t size = 1; size < bytes.size(); ++size) {
    FilterSpec opened;
    ASSERT_EQ(Load(bytes.substr(0, size), opened), LoadOutcome::EndedEarly) << size;
    std::size_t readBytes = 0;  // record bytes of the fields read completely
    for (const std::size_t end : fieldEnds) {
      if (end <= size) {
        readBytes = end - kVersionPrefix.size();
      }
    }
    const std::string got = ExpectedRecord(opened);
    EXPECT_EQ(got.substr(0, readBytes), ExpectedRecord(saved).substr(0, readBytes)) << size;
    EXPECT_EQ(got.substr(readBytes), ExpectedRecord(FilterSpec{}).substr(readBytes)) << size;
  }
}

TEST(DesignFileTest, EmptyStreamLeavesTheSpecUntouched) {
  FilterSpec opened = UnusualSpec();
  EXPECT_EQ(Load("", opened), LoadOutcome::Empty);
  EXPECT_EQ(opened, UnusualSpec());
}

TEST(DesignFileTest, BytesAfterTheRecordWithoutTheBlockArePassedOver) {
  for (const std::string tail : {"trailing bytes", "QVX", "QVX2 and more"}) {
    std::istringstream in(Store(UnusualSpec()) + tail, std::ios::binary);
    FilterSpec opened;
    EXPECT_EQ(LoadDesignFile(in, opened), LoadOutcome::Loaded) << tail;
    EXPECT_EQ(opened, UnusualSpec()) << tail;
  }
}

ToleranceScheme BandScheme() {
  return {.active = true,
          .minimumOrder = true,
          .pass1 = 1000.25,
          .pass2 = 2000.5,
          .stop1 = 800.125,
          .stop2 = 2500.0,
          .attenuation = 63.5};
}

// A chunk of a later version: tag, length, payload.
KeptChunks LaterChunks() {
  const std::string chunk = std::string("MASK") + std::string("\x05\0\0\0", 4) + "later";
  KeptChunks kept;
  std::copy(chunk.begin(), chunk.end(), kept.bytes.begin());
  kept.size = chunk.size();
  return kept;
}

// `file` followed by the CRC-32 (IEEE) of its bytes after the record, bit by bit as the
// polynomial defines it.
std::string WithChecksum(std::string file) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = kDesignFileSize; i < file.size(); ++i) {
    crc ^= static_cast<unsigned char>(file[i]);
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  crc = ~crc;
  file.append(reinterpret_cast<const char*>(&crc), 4);
  return file;
}

struct ExtensionCase {
  const char* name;
  ToleranceScheme scheme;
  IirStructure structure;
  SectionScaling scaling;
  bool keepsChunks;
  std::size_t blockSize;  // bytes after the record: 8 + chunks + 4
};

void PrintTo(const ExtensionCase& c, std::ostream* os) { *os << c.name; }

class DesignFileExtensionTest : public ::testing::TestWithParam<ExtensionCase> {
 protected:
  FilterSpec Spec() const {
    FilterSpec spec = UnusualSpec();
    spec.scheme = GetParam().scheme;
    spec.structure = GetParam().structure;
    spec.sectionScaling = GetParam().scaling;
    return spec;
  }
  KeptChunks Kept() const { return GetParam().keepsChunks ? LaterChunks() : KeptChunks{}; }
  std::string Stored() const {
    std::ostringstream out(std::ios::binary);
    EXPECT_TRUE(StoreDesignFile(out, Spec(), Kept()));
    return out.str();
  }
};

TEST_P(DesignFileExtensionTest, RecordUnchangedAndBlockReadBack) {
  const std::string bytes = Stored();
  ASSERT_EQ(bytes.size(), kDesignFileSize + GetParam().blockSize);
  // The record is the one an older reader reads, whatever follows it.
  EXPECT_EQ(bytes.substr(0, kDesignFileSize), kVersionPrefix + ExpectedRecord(Spec()));
  if (GetParam().blockSize > 0) {
    EXPECT_EQ(bytes.substr(kDesignFileSize, 4), "QVX1");
  }

  FilterSpec opened;
  opened.scheme = BandScheme();  // what an earlier design left must not survive the load
  opened.structure = IirStructure::Sections;
  KeptChunks kept = LaterChunks();
  std::istringstream in(bytes, std::ios::binary);
  ASSERT_EQ(LoadDesignFile(in, opened, kept), LoadOutcome::Loaded);
  EXPECT_EQ(opened, Spec());
  EXPECT_EQ(kept, Kept());

  // Saved again, the unknown chunks go out as they came in.
  std::ostringstream again(std::ios::binary);
  ASSERT_TRUE(StoreDesignFile(again, opened, kept));
  EXPECT_EQ(again.str(), bytes);
}

TEST_P(DesignFileExtensionTest, DamagedBlockLeavesEverythingUntouched) {
  std::string bytes = Stored();
  if (bytes.size() == kDesignFileSize) {
    // No block of its own: an empty one (no chunks) is still read, and judged like any other.
    bytes = WithChecksum(bytes + std::string("QVX1\0\0\0\0", 8));
    FilterSpec opened;
    ASSERT_EQ(Load(bytes, opened), LoadOutcome::Loaded);
    EXPECT_EQ(opened, Spec());
  }
  FilterSpec before;
  before.order = 7;
  before.scheme.attenuation = 12.0;
  const KeptChunks keptBefore = LaterChunks();
  const auto expectDamaged = [&](const std::string& damaged, const std::string& what) {
    FilterSpec opened = before;
    KeptChunks kept = keptBefore;
    std::istringstream in(damaged, std::ios::binary);
    EXPECT_EQ(LoadDesignFile(in, opened, kept), LoadOutcome::Damaged) << what;
    EXPECT_EQ(opened, before) << what;
    EXPECT_EQ(kept, keptBefore) << what;
  };
  for (std::size_t cut = kDesignFileSize + 4; cut < bytes.size(); ++cut) {
    expectDamaged(bytes.substr(0, cut), "cut at " + std::to_string(cut));
  }
  for (std::size_t at = kDesignFileSize + 4; at < bytes.size(); ++at) {
    std::string flipped = bytes;
    flipped[at] = static_cast<char>(flipped[at] ^ 0x10);
    expectDamaged(flipped, "flipped at " + std::to_string(at));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, DesignFileExtensionTest,
    ::testing::Values(
        ExtensionCase{"None", {}, IirStructure::Direct, SectionScaling::LInfinity, false, 0},
        ExtensionCase{"Scheme", BandScheme(), IirStructure::Direct, SectionScaling::LInfinity,
                      false, 8 + 8 + kSchemeChunkSize + 4},
        // A scheme that is off but holds values is kept as it stands.
        ExtensionCase{"InactiveScheme",
                      {.pass1 = 50.0},
                      IirStructure::Direct,
                      SectionScaling::LInfinity,
                      false,
                      8 + 8 + kSchemeChunkSize + 4},
        ExtensionCase{"Sections",
                      {},
                      IirStructure::Sections,
                      SectionScaling::LInfinity,
                      false,
                      8 + 8 + kStructureChunkSize + 4},
        ExtensionCase{"ScalingAlone",
                      {},
                      IirStructure::Direct,
                      SectionScaling::L2,
                      false,
                      8 + 8 + kStructureChunkSize + 4},
        ExtensionCase{
            "ChunksAlone", {}, IirStructure::Direct, SectionScaling::LInfinity, true, 8 + 13 + 4},
        ExtensionCase{"Everything", BandScheme(), IirStructure::Sections, SectionScaling::L2, true,
                      8 + 8 + kSchemeChunkSize + 8 + kStructureChunkSize + 13 + 4}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

// The structure chunk's own values: outside their lists the block is refused, not guessed at.
TEST(DesignFileTest, UnknownStructureValuesAreDamage) {
  FilterSpec spec;
  spec.structure = IirStructure::Sections;
  const std::string bytes = Store(spec);
  const std::size_t chunk = bytes.find("STRC");
  ASSERT_NE(chunk, std::string::npos);
  for (const std::size_t field : {chunk + 8, chunk + 12}) {
    std::string changed = bytes;
    changed[field] = '\x02';
    // The checksum made right again, so that only the value is wrong.
    changed = WithChecksum(changed.substr(0, changed.size() - 4));
    FilterSpec opened;
    EXPECT_EQ(Load(changed, opened), LoadOutcome::Damaged) << field - chunk;
    EXPECT_EQ(opened, FilterSpec{});
  }
}

// A file of the 68 bytes alone, as every earlier version wrote it, opens as it always did: the
// record's fields, and a design without scheme in the direct form.
TEST(DesignFileTest, RecordAloneOpensWithoutExtensions) {
  const std::string bytes = kVersionPrefix + ExpectedRecord(UnusualSpec());
  FilterSpec opened;
  opened.scheme = BandScheme();
  opened.structure = IirStructure::Sections;
  opened.sectionScaling = SectionScaling::L2;
  KeptChunks kept = LaterChunks();
  std::istringstream in(bytes, std::ios::binary);
  ASSERT_EQ(LoadDesignFile(in, opened, kept), LoadOutcome::Loaded);
  EXPECT_EQ(opened, UnusualSpec());
  EXPECT_EQ(kept, KeptChunks{});
  EXPECT_EQ(Store(opened), bytes);
}

TEST(DesignFileTest, WriteFailureIsReported) {
  std::ostream broken(nullptr);
  EXPECT_FALSE(StoreDesignFile(broken, FilterSpec{}));
}

TEST(DesignFileTest, MessagesOfTheOutcomes) {
  EXPECT_EQ(LoadOutcomeMessage(LoadOutcome::VersionMismatch),
            "Saved File does not fit with this version");
  EXPECT_EQ(LoadOutcomeMessage(LoadOutcome::EndedEarly), "Unexpected file format.");
  EXPECT_EQ(LoadOutcomeMessage(LoadOutcome::Damaged),
            "The design file's extension block is damaged; the file was not opened.");
  EXPECT_TRUE(LoadOutcomeMessage(LoadOutcome::Loaded).empty());
  EXPECT_TRUE(LoadOutcomeMessage(LoadOutcome::Empty).empty());
}

}  // namespace
}  // namespace qv
