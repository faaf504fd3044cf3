// The written picture, decoded again: file format, frames and dashed grids, curves, zero-pole
// marks, texts, failures and values that have no place on a graph.
#include "picture/graph_export.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "gif_picture.h"
#include "records/identification.h"
#include "sample_design.h"

namespace qv::test {
namespace {

constexpr int kSmallWidth = 6;
constexpr int kSmallHeight = 13;
constexpr int kLargeWidth = 8;
constexpr int kLargeHeight = 16;
constexpr int kRedIndex = 2;

// Names the instances of a parameterised test after their case.
template <typename Case>
std::string CaseName(const ::testing::TestParamInfo<Case>& test) {
  return test.param.name;
}

// A picture written once from the sample input and decoded, shared by the tests below.
const Picture& SamplePicture() {
  static const Picture picture = ExportAndDecode(MakeSampleInput(), "sample.gif");
  return picture;
}

TEST(GraphFile, IsGif87aWithSixteenColourPalette) {
  const std::string path = ExportToTemp(MakeSampleInput(), "format.gif");
  ASSERT_FALSE(path.empty());
  const std::optional<GifHeader> header = ReadGifHeader(path);
  const Picture picture(path);
  std::filesystem::remove(path);
  ASSERT_TRUE(header.has_value());
  EXPECT_EQ(header->signature, "GIF87a");
  EXPECT_EQ(header->width, 1024);
  EXPECT_EQ(header->height, 700);
  EXPECT_EQ(header->backgroundIndex, 0);
  ASSERT_TRUE(header->hasGlobalTable);
  const std::vector<Rgb> expected = {kBlack, kWhite, kRed,   kGreen, kBlue,  kBlack,
                                     kWhite, kBlack, kWhite, kBlack, kWhite, kBlack,
                                     kWhite, kBlack, kWhite, kBlack};
  EXPECT_EQ(header->colourTable, expected);

  ASSERT_TRUE(picture.IsValid());
  EXPECT_EQ(picture.Width(), 1024);
  EXPECT_EQ(picture.Height(), 700);
  EXPECT_EQ(picture.IndexAt(0, 0), 1);  // the white background
}

// The five frames in drawing order; frame n owns palette entries 5 + 2n (black) and 6 + 2n
// (white).
struct Frame {
  int left;
  int top;
};
constexpr std::array<Frame, 5> kFrames = {
    {{42, 162}, {384, 162}, {725, 162}, {384, 454}, {725, 454}}};

struct Expected {
  Rgb colour;
  int index;
};
using PixelMap = std::map<std::pair<int, int>, Expected>;

// What the frames leave on the picture, worked out independently: each frame's border, then
// its dashes of two black and two white pixels, the pattern starting afresh with every frame
// and running on across its grid lines and the zero-pole axes; later drawing covers earlier.
PixelMap FramePixels() {
  PixelMap pixels;
  for (int n = 0; n < static_cast<int>(kFrames.size()); ++n) {
    const auto [left, top] = kFrames[n];
    const Expected black{kBlack, 5 + 2 * n};
    const Expected white{kWhite, 6 + 2 * n};
    for (int x = left; x <= left + 256; ++x) {
      pixels[{x, top}] = black;
      pixels[{x, top + 200}] = black;
    }
    for (int y = top; y <= top + 200; ++y) {
      pixels[{left, y}] = black;
      pixels[{left + 256, y}] = black;
    }
    int position = 0;
    auto dash = [&](int x, int y) { pixels[{x, y}] = (position++ % 4 < 2) ? black : white; };
    for (int y = top + 50; y <= top + 150; y += 50) {
      for (int x = left; x <= left + 256; ++x) dash(x, y);
    }
    for (int x = left + 64; x <= left + 192; x += 64) {
      for (int y = top; y <= top + 200; ++y) dash(x, y);
    }
    for (int x = 70; x <= 270; ++x) dash(x, 554);
    for (int y = 454; y <= 654; ++y) dash(170, y);
  }
  return pixels;
}

TEST(GraphFrames, BordersGridDashesAndAxesFollowTheDashPattern) {
  const Picture& picture = SamplePicture();
  ASSERT_TRUE(picture.IsValid());
  int checked = 0;
  int mismatches = 0;
  for (const auto& [at, expected] : FramePixels()) {
    const auto [x, y] = at;
    if (picture.IndexAt(x, y) == kRedIndex) {
      continue;  // a curve or a mark crosses here
    }
    ++checked;
    if (picture.IndexAt(x, y) != expected.index || picture.ColourAt(x, y) != expected.colour) {
      if (++mismatches <= 5) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") has index " << picture.IndexAt(x, y)
                      << ", expected " << expected.index;
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
  EXPECT_GT(checked, 5 * 4 * 256);
}

struct CurveCase {
  const char* name;
  int left;
  int top;
  int points;
  CurveEnds ends;
};

class CurveEndsTest : public ::testing::TestWithParam<CurveCase> {};

TEST_P(CurveEndsTest, RunFromTheLeftEdgeOnePixelPerPoint) {
  const Picture& picture = SamplePicture();
  ASSERT_TRUE(picture.IsValid());
  const CurveCase& c = GetParam();
  const int lastX = c.left + c.points - 1;
  EXPECT_TRUE(picture.IsRed(c.left, c.ends.firstRow));
  EXPECT_TRUE(picture.IsRed(lastX, c.ends.lastRow));
  EXPECT_FALSE(picture.AnyInRectangle(c.left - 1, c.top, c.left, c.top + 201, kRed));
  EXPECT_FALSE(picture.AnyInRectangle(lastX + 1, c.top, lastX + 2, c.top + 201, kRed));
}

INSTANTIATE_TEST_SUITE_P(AllCurves, CurveEndsTest,
                         ::testing::Values(CurveCase{"Magnitude", 42, 162, 256, kMagnitudeEnds},
                                           CurveCase{"Phase", 384, 162, 256, kPhaseEnds},
                                           CurveCase{"GroupDelay", 725, 162, 255, kGroupDelayEnds},
                                           CurveCase{"Impulse", 384, 454, 256, kImpulseEnds},
                                           CurveCase{"Step", 725, 454, 256, kStepEnds}),
                         CaseName<CurveCase>);

TEST(ZeroPoleGraph, UnitCircleIsAThinBlackRing) {
  const Picture& picture = SamplePicture();
  ASSERT_TRUE(picture.IsValid());
  for (int degrees = 15; degrees < 360; degrees += 30) {
    const double angle = degrees * std::acos(-1.0) / 180.0;
    auto at = [&](double radius, int axis) {
      const double offset = radius * (axis == 0 ? std::cos(angle) : -std::sin(angle));
      return static_cast<int>(std::lround((axis == 0 ? 170.0 : 554.0) + offset));
    };
    const int x = at(100, 0);
    const int y = at(100, 1);
    EXPECT_TRUE(picture.AnyInRectangle(x - 1, y - 1, x + 2, y + 2, kBlack)) << degrees;
    EXPECT_TRUE(picture.IsWhite(at(95, 0), at(95, 1))) << degrees;
    EXPECT_TRUE(picture.IsWhite(at(105, 0), at(105, 1))) << degrees;
  }
}

struct MarkCase {
  const char* name;
  FilterClass filterClass;
  FilterModel model;
  bool marked;
};

class ZeroPoleMarks : public ::testing::TestWithParam<MarkCase> {};

TEST_P(ZeroPoleMarks, AreDrawnForModelsWithPolesUpToTheOrder) {
  ExportInput input = MakeSampleInput();
  input.spec.filterClass = GetParam().filterClass;
  input.spec.model = GetParam().model;
  const Picture picture = ExportAndDecode(input, std::string("marks-") + GetParam().name + ".gif");
  ASSERT_TRUE(picture.IsValid());
  if (!GetParam().marked) {
    EXPECT_FALSE(picture.AnyInRectangle(60, 444, 281, 665, kRed));
    return;
  }
  // Zero at 0.5 + 0.5j: a small red ring around (220, 504), its middle left white.
  EXPECT_TRUE(picture.AnyInRectangle(223, 503, 225, 506, kRed));
  EXPECT_TRUE(picture.AnyInRectangle(216, 503, 218, 506, kRed));
  EXPECT_TRUE(picture.AnyInRectangle(219, 500, 222, 502, kRed));
  EXPECT_TRUE(picture.AnyInRectangle(219, 507, 222, 509, kRed));
  EXPECT_FALSE(picture.AnyInRectangle(219, 503, 222, 506, kRed));
  // Pole at -0.305 - 0.305j: a cross centred on (140, 584), the offsets cut toward zero.
  for (int d = -2; d <= 2; ++d) {
    EXPECT_TRUE(picture.IsRed(140 + d, 584 - d)) << d;
    EXPECT_TRUE(picture.IsRed(140 + d, 584 + d)) << d;
  }
  EXPECT_TRUE(picture.IsWhite(140, 582));
  EXPECT_TRUE(picture.IsWhite(138, 584));
  EXPECT_FALSE(picture.IsRed(137, 581));
  EXPECT_FALSE(picture.IsRed(143, 587));
  // The third zero and pole lie beyond the order of 2.
  EXPECT_FALSE(picture.AnyInRectangle(165, 489, 176, 500, kRed));
  EXPECT_FALSE(picture.AnyInRectangle(225, 609, 236, 620, kRed));
}

INSTANTIATE_TEST_SUITE_P(
    Models, ZeroPoleMarks,
    ::testing::Values(MarkCase{"Butterworth", FilterClass::Iir, FilterModel::Butterworth, true},
                      MarkCase{"Chebyshev", FilterClass::Iir, FilterModel::Chebyshev, true},
                      MarkCase{"FirBessel", FilterClass::Fir, FilterModel::Bessel, true},
                      MarkCase{"Rectangle", FilterClass::Fir, FilterModel::Rectangle, false},
                      MarkCase{"RaisedCosine", FilterClass::Fir, FilterModel::RaisedCosine, false}),
    CaseName<MarkCase>);

struct PlacedText {
  std::string text;
  int x;
  int y;
  bool large;
};

// Takes a text and where it should start; checks that its ink begins in its first character
// cell and ends in its last, and that nothing is drawn just beside it.
void ExpectTextAt(const Picture& picture, const PlacedText& placed) {
  const int width = placed.large ? kLargeWidth : kSmallWidth;
  const int height = placed.large ? kLargeHeight : kSmallHeight;
  const int length = static_cast<int>(placed.text.size());
  const std::optional<std::array<int, 2>> ink =
      picture.InkColumns(placed.x - 3, placed.y, placed.x + width * length + 3, placed.y + height);
  ASSERT_TRUE(ink.has_value()) << placed.text;
  EXPECT_GE((*ink)[0], placed.x) << placed.text;
  EXPECT_LT((*ink)[0], placed.x + width) << placed.text;
  EXPECT_GE((*ink)[1], placed.x + width * (length - 1)) << placed.text;
  EXPECT_LT((*ink)[1], placed.x + width * length) << placed.text;
}

// Where the sample input's texts belong, from the layout's centring rules.
std::vector<PlacedText> SampleTexts() {
  std::vector<PlacedText> texts = {
      {"Digital Filter Graphics", 420, 26, true},
      {"Quorvanel version 0.8", 3, 661, false},
      {std::string(kWebSite), 3, 674, false},
      {std::string(kContactEmail), 3, 687, false},
      {"Filter type: IIR Low Pass", 3, 39, false},
      {"Filter model: Butterworth", 3, 52, false},
      {"Filter order: 2", 3, 65, false},
      {"Sampling Frequency: 1000 Hz", 3, 78, false},
      {"Cut Frequency: 100.000000 Hz", 3, 91, false},
      {"Frequency Response", 98, 128, true},
      {"Phase Response", 456, 128, true},
      {"Group Delay", 809, 128, true},
      {"Zero-Pole", 134, 419, true},
      {"Impulse Response", 448, 419, true},
      {"Step Response", 801, 419, true},
      {"dB", 15, 128, false},
      {"ms", 698, 128, false},
  };
  auto centred = [](int x, const std::string& text) {
    return x - kSmallWidth * static_cast<int>(text.size()) / 2;
  };
  const std::array<std::string, 5> frequencies = {"0", "125", "250", "375", "500"};
  const std::array<std::string, 5> times = {"0.0", "8.0", "16.0", "24.0", "32.0"};
  for (int origin : {0, 341, 682}) {
    for (int k = 0; k < 5; ++k) {
      texts.push_back({frequencies[k], centred(42 + origin + 64 * k, frequencies[k]), 367, false});
      if (origin != 0) {
        texts.push_back({times[k], centred(42 + origin + 64 * k, times[k]), 659, false});
      }
    }
    texts.push_back({"Hz", origin + 320, 367, false});
    if (origin != 0) texts.push_back({"ms", origin + 320, 659, false});
  }
  const std::array<std::string, 5> magnitude = {"0.0", "-25.0", "-50.0", "-75.0", "-100.0"};
  const std::array<std::string, 5> phase = {"PI", "PI/2", "0", "-PI/2", "-PI"};
  const std::array<std::string, 5> delay = {"3.000", "2.500", "2.000", "1.500", "1.000"};
  const std::array<std::string, 5> impulse = {"0.282", "0.141", "0.000", "-0.141", "-0.282"};
  const std::array<std::string, 5> step = {"1.050", "0.525", "0.000", "-0.525", "-1.050"};
  for (int row = 0; row < 5; ++row) {
    texts.push_back({magnitude[row], centred(21, magnitude[row]), 156 + 50 * row, false});
    texts.push_back({phase[row], centred(362, phase[row]), 156 + 50 * row, false});
    texts.push_back({delay[row], centred(703, delay[row]), 156 + 50 * row, false});
    texts.push_back({impulse[row], centred(362, impulse[row]), 448 + 50 * row, false});
    texts.push_back({step[row], centred(703, step[row]), 448 + 50 * row, false});
  }
  return texts;
}

TEST(GraphTexts, SitWhereTheLayoutPutsThem) {
  const Picture& picture = SamplePicture();
  ASSERT_TRUE(picture.IsValid());
  for (const PlacedText& placed : SampleTexts()) {
    ExpectTextAt(picture, placed);
  }
  EXPECT_EQ(picture.InkColumns(0, 104, 400, 117), std::nullopt);  // no ripple row
}

struct SummaryCase {
  const char* name;
  FilterClass filterClass;
  BandType band;
  FilterModel model;
  std::string orderRow;   // y = 65
  std::string cutRow;     // y = 91
  std::string rippleRow;  // y = 104
};

class SummaryRows : public ::testing::TestWithParam<SummaryCase> {};

TEST_P(SummaryRows, ShowTheModelsOwnLines) {
  const SummaryCase& c = GetParam();
  ExportInput input = MakeSampleInput();
  input.spec.filterClass = c.filterClass;
  input.spec.bandType = c.band;
  input.spec.model = c.model;
  const Picture picture = ExportAndDecode(input, std::string("summary-") + c.name + ".gif");
  ASSERT_TRUE(picture.IsValid());
  const std::array<std::pair<int, std::string>, 3> rows = {
      {{65, c.orderRow}, {91, c.cutRow}, {104, c.rippleRow}}};
  for (const auto& [y, text] : rows) {
    if (text.empty()) {
      EXPECT_EQ(picture.InkColumns(0, y, 400, y + kSmallHeight), std::nullopt) << y;
    } else {
      ExpectTextAt(picture, {text, 3, y, false});
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Models, SummaryRows,
    ::testing::Values(SummaryCase{"Rectangle", FilterClass::Fir, BandType::LowPass,
                                  FilterModel::Rectangle, "", "Cut Frequency: 100.000000 Hz", ""},
                      SummaryCase{"RaisedCosine", FilterClass::Fir, BandType::BandStop,
                                  FilterModel::RaisedCosine, "Alpha: 0.500000",
                                  "F1 and F2 Frequencies: 100.000000 Hz and 350.000000 Hz", ""},
                      SummaryCase{"Chebyshev", FilterClass::Iir, BandType::BandPass,
                                  FilterModel::Chebyshev, "Filter order: 2",
                                  "F1 and F2 Frequencies: 100.000000 Hz and 350.000000 Hz",
                                  "Pass band Ripple: 1.0 dB"}),
    CaseName<SummaryCase>);

struct PlacementCase {
  const char* name;
  std::function<void(ResponseSet&)> change;
  int magnitudeRow;   // row of the whole magnitude curve, or 0 when not fixed
  int groupDelayRow;  // row of the whole group-delay curve, or 0 when not fixed
};

class CurvePlacement : public ::testing::TestWithParam<PlacementCase> {};

// Values without a place on their axis still give a picture, with the curve on the frame's
// middle row where there is no scale to follow.
TEST_P(CurvePlacement, KeepsCurvesInsideTheirFrames) {
  ExportInput input = MakeSampleInput();
  GetParam().change(input.responses);
  const Picture picture = ExportAndDecode(input, std::string("place-") + GetParam().name + ".gif");
  ASSERT_TRUE(picture.IsValid());
  auto expectRow = [&](int left, int points, int row) {
    for (int x = left; x < left + points; ++x) {
      ASSERT_TRUE(picture.IsRed(x, row)) << "(" << x << ", " << row << ")";
    }
  };
  if (GetParam().magnitudeRow != 0) expectRow(42, 256, GetParam().magnitudeRow);
  if (GetParam().groupDelayRow != 0) expectRow(725, 255, GetParam().groupDelayRow);
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(Degenerate, CurvePlacement,
                         ::testing::Values(PlacementCase{"FlatMagnitude",
                                                         [](ResponseSet& r) {
                                                           r.magnitudeMinDb = r.magnitudeMaxDb =
                                                               0.0;
                                                           r.magnitudeDb.fill(0.0);
                                                         },
                                                         262, 0},
                                           PlacementCase{"FlatGroupDelay",
                                                         [](ResponseSet& r) {
                                                           r.groupDelayMin = r.groupDelayMax =
                                                               0.002;
                                                           r.groupDelay.fill(0.0021);
                                                         },
                                                         0, 262},
                                           PlacementCase{"NaNValues",
                                                         [](ResponseSet& r) {
                                                           r.magnitudeDb.fill(kNaN);
                                                           r.groupDelay.fill(kNaN);
                                                         },
                                                         262, 262},
                                           PlacementCase{"NaNRanges",
                                                         [](ResponseSet& r) {
                                                           r.magnitudeMinDb = kNaN;
                                                           r.groupDelayMax = kNaN;
                                                         },
                                                         262, 262},
                                           PlacementCase{"Infinities",
                                                         [](ResponseSet& r) {
                                                           r.magnitudeMinDb = -kInfinity;
                                                           r.magnitudeDb.fill(-kInfinity);
                                                           r.phase.fill(kInfinity);
                                                           r.groupDelay.fill(1e300);
                                                           r.impulse.fill(-kInfinity);
                                                           r.step.fill(kNaN);
                                                           r.impulsePeak = kInfinity;
                                                           r.stepPeak = kNaN;
                                                           r.zeros.fill({1e300, -1e300});
                                                           r.poles.fill({kNaN, kInfinity});
                                                         },
                                                         262, 0}),
                         CaseName<PlacementCase>);

struct FailureCase {
  const char* name;
  std::string path;
  OutputCode code;
};

class ExportFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(ExportFailure, IsReportedAndLeavesNoFileBehind) {
  const ExportInput input = MakeSampleInput();
  const FailureCase& c = GetParam();
  const bool existed = std::filesystem::exists(c.path);
  EXPECT_EQ(ExportGraphs(input.spec, input.scale, input.responses, input.scheme, c.path.c_str()),
            c.code);
  if (!existed) {
    EXPECT_FALSE(std::filesystem::exists(c.path));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ExportFailure,
    ::testing::Values(FailureCase{"Empty", "", OutputCode::NotCreated},
                      FailureCase{"MissingDirectory", "/nonexistent-quorvanel-dir/graph.gif",
                                  OutputCode::NotCreated},
                      FailureCase{"Directory", "/", OutputCode::NotCreated},
                      FailureCase{"FullDevice", "/dev/full", OutputCode::NotClosed}),
    CaseName<FailureCase>);

TEST(ExportFailure, NullPathIsNotCreated) {
  const ExportInput input = MakeSampleInput();
  EXPECT_EQ(ExportGraphs(input.spec, input.scale, input.responses, input.scheme, nullptr),
            OutputCode::NotCreated);
}

}  // namespace
}  // namespace qv::test
