#include "fileio/design_file.h"

#include <gtest/gtest.h>

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

TEST(DesignFileTest, BytesAfterTheRecordAreNotRead) {
  std::istringstream in(Store(UnusualSpec()) + "trailing bytes", std::ios::binary);
  FilterSpec opened;
  EXPECT_EQ(LoadDesignFile(in, opened), LoadOutcome::Loaded);
  EXPECT_EQ(opened, UnusualSpec());
  EXPECT_EQ(in.tellg(), static_cast<std::streamoff>(kDesignFileSize));
}

TEST(DesignFileTest, WriteFailureIsReported) {
  std::ostream broken(nullptr);
  EXPECT_FALSE(StoreDesignFile(broken, FilterSpec{}));
}

TEST(DesignFileTest, MessagesOfTheOutcomes) {
  EXPECT_EQ(LoadOutcomeMessage(LoadOutcome::VersionMismatch),
            "Saved File does not fit with this version");
  EXPECT_EQ(LoadOutcomeMessage(LoadOutcome::EndedEarly), "Unexpected file format.");
  EXPECT_TRUE(LoadOutcomeMessage(LoadOutcome::Loaded).empty());
  EXPECT_TRUE(LoadOutcomeMessage(LoadOutcome::Empty).empty());
}

}  // namespace
}  // namespace qv
