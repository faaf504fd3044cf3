#include "picture/graph_export.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>

#include "fileio/output_file.h"
#include "graph/graph_text.h"
#include "graph/pixel_position.h"
#include "graph/tolerance_mask.h"
#include "graph/verdict_text.h"
#include "picture/gd_library.h"
#include "picture/graph_layout.h"
#include "records/identification.h"

namespace qv {
namespace {

// Every position below is one of the picture's, never the graph page's.
using namespace picture;

// The library of every drawing call; ExportGraphs has loaded it before anything is drawn.
const GdLibrary& Gd() { return *LoadGdLibrary(); }

struct ImageDeleter {
  void operator()(gdImagePtr image) const { Gd().imageDestroy(image); }
};
using Image = std::unique_ptr<gdImage, ImageDeleter>;

// The five colours every picture starts with; green is part of the palette though nothing is
// drawn with it, blue only a tolerance scheme's mask.
struct Palette {
  int black = 0;
  int white = 0;
  int red = 0;
  int blue = 0;
};

constexpr int kFullIntensity = 255;  // a colour channel at its brightest
constexpr int kFullCircle = 360;
constexpr int kDashLength = 4;

int SmallWidth(const GraphText& text) { return kSmallCharWidth * text.length; }
int LargeWidth(const GraphText& text) { return kLargeCharWidth * text.length; }

// x of a small-font text centred on `x`.
int CentredSmall(int x, const GraphText& text) { return x - SmallWidth(text) / 2; }

// x of a large-font title centred over the 256-pixel column that starts at `left`.
int CentredTitle(int left, const GraphText& text) {
  return left + ((kFrameWidth - LargeWidth(text)) >> 1);
}

void DrawText(gdImagePtr image, gdFontPtr font, int x, int y, GraphText text, int colour) {
  Gd().imageString(image, font, x, y, reinterpret_cast<unsigned char*>(text.chars.data()), colour);
}

void DrawSmall(gdImagePtr image, int x, int y, const GraphText& text, int colour) {
  DrawText(image, Gd().fontGetSmall(), x, y, text, colour);
}

void DrawLarge(gdImagePtr image, int x, int y, const GraphText& text, int colour) {
  DrawText(image, Gd().fontGetLarge(), x, y, text, colour);
}

Palette AllocatePalette(gdImagePtr image) {
  Palette palette;
  palette.black = Gd().imageColorAllocate(image, 0, 0, 0);
  palette.white = Gd().imageColorAllocate(image, kFullIntensity, kFullIntensity, kFullIntensity);
  palette.red = Gd().imageColorAllocate(image, kFullIntensity, 0, 0);
  Gd().imageColorAllocate(image, 0, kFullIntensity, 0);
  palette.blue = Gd().imageColorAllocate(image, 0, 0, kFullIntensity);
  return palette;
}

void DrawHeader(gdImagePtr image, const FilterSpec& spec, const DisplayScale& scale,
                const ResponseSet& responses, const SchemeCheck& scheme, const Palette& palette) {
  const GraphText title = MakeGraphText("Digital Filter Graphics");
  DrawLarge(image, (kImageWidth - LargeWidth(title)) / 2, kTitleY, title, palette.black);

  DrawSmall(image, kTextLeft, kFooterY, VersionLine(), palette.black);
  DrawSmall(image, kTextLeft, kFooterY + kFooterLineStep, MakeGraphText(kWebSite), palette.black);
  DrawSmall(image, kTextLeft, kFooterY + 2 * kFooterLineStep, MakeGraphText(kContactEmail),
            palette.black);

  const SummaryText summary = FormatSummary(spec, scale);
  for (int row = 0; row < kSummaryRows; ++row) {
    DrawSmall(image, kTextLeft, kSummaryY + row * kSummaryLineStep, summary[row], palette.black);
  }
  const VerdictText verdict = FormatVerdict(spec, responses, scheme);
  for (int row = 0; row < kVerdictRows; ++row) {
    if (verdict[row].length > 0) {
      DrawSmall(image, kVerdictX, kSummaryY + row * kSummaryLineStep, verdict[row], palette.black);
    }
  }
}

// Every frame brings its own black and white, and its dash pattern starts afresh and runs on
// from one grid line to the next. The zero-pole axes have no frame of their own, so every
// frame redraws them with its pattern.
void DrawFrame(gdImagePtr image, int left, int top) {
  const int black = Gd().imageColorAllocate(image, 0, 0, 0);
  const int white = Gd().imageColorAllocate(image, kFullIntensity, kFullIntensity, kFullIntensity);
  Gd().imageRectangle(image, left, top, left + kFrameWidth, top + kFrameHeight, black);

  std::array<int, kDashLength> dash = {black, black, white, white};
  Gd().imageSetStyle(image, dash.data(), kDashLength);
  for (int line = 1; line <= kGridLines; ++line) {
    const int y = top + line * kGridRowStep;
    Gd().imageLine(image, left, y, left + kFrameWidth, y, gdStyled);
  }
  for (int line = 1; line <= kGridLines; ++line) {
    const int x = left + line * kGridColumnStep;
    Gd().imageLine(image, x, top, x, top + kFrameHeight, gdStyled);
  }
  Gd().imageLine(image, kZeroPoleX - kUnitPixels, kZeroPoleY, kZeroPoleX + kUnitPixels, kZeroPoleY,
                 gdStyled);
  Gd().imageLine(image, kZeroPoleX, kZeroPoleY - kUnitPixels, kZeroPoleX, kZeroPoleY + kUnitPixels,
                 gdStyled);
}

void DrawGraphTitles(gdImagePtr image, const Palette& palette) {
  constexpr std::array<int, kGraphsPerRow> kLefts = {kLeftColumn, kMiddleColumn, kRightColumn};
  for (int graph = 0; graph < kGraphCount; ++graph) {
    const GraphText text = MakeGraphText(kGraphTitles[graph]);
    const int y = graph < kGraphsPerRow ? kTopTitleY : kBottomTitleY;
    DrawLarge(image, CentredTitle(kLefts[graph % kGraphsPerRow], text), y, text, palette.black);
  }
}

void DrawAxisUnit(gdImagePtr image, int origin, int y, std::string_view unit, int colour) {
  DrawSmall(image, origin + kAxisUnitOffset, y, MakeGraphText(unit), colour);
}

void DrawFrequencyAxes(gdImagePtr image, const FilterSpec& spec, const DisplayScale& scale,
                       const Palette& palette) {
  for (int column = 0; column < 3; ++column) {
    const int origin = column * kColumnPitch;
    for (int k = 0; k < kAxisLabels; ++k) {
      const GraphText label = FrequencyLabel(spec.fsample, scale.freqDivisor, k);
      DrawSmall(image, CentredSmall(kLeftColumn + origin + k * kGridColumnStep, label),
                kFrequencyLabelY, label, palette.black);
    }
    DrawAxisUnit(image, origin, kFrequencyLabelY, scale.freqUnit, palette.black);
  }
}

void DrawTimeAxes(gdImagePtr image, const DisplayScale& scale, const Palette& palette) {
  for (int column = 1; column < 3; ++column) {
    const int origin = column * kColumnPitch;
    for (int k = 0; k < kAxisLabels; ++k) {
      const GraphText label = TimeLabel(scale.timeStep, k);
      DrawSmall(image, CentredSmall(kLeftColumn + origin + k * kGridColumnStep, label), kTimeLabelY,
                label, palette.black);
    }
    DrawAxisUnit(image, origin, kTimeLabelY, scale.timeUnit, palette.black);
  }
}

void DrawZerosAndPoles(gdImagePtr image, const FilterSpec& spec, const ResponseSet& responses,
                       const Palette& palette) {
  if (!IsIirModel(spec.model)) {
    return;
  }
  const int count = std::clamp<int>(spec.effectiveOrder, 0, kMaxCoefficients);
  for (int i = 0; i < count; ++i) {
    const Complex zero = responses.zeros[i];
    Gd().imageArc(image, ZeroPoleColumn(zero.re, kZeroPoleX), BottomRow(zero.im, kZeroPoleY),
                  kZeroMarkSize, kZeroMarkSize, 0, kFullCircle, palette.red);

    const Complex pole = responses.poles[i];
    const int x = ZeroPoleColumn(pole.re, kZeroPoleX);
    const int y = BottomRow(pole.im, kZeroPoleY);
    Gd().imageLine(image, x - kPoleMarkReach, y + kPoleMarkReach, x + kPoleMarkReach,
                   y - kPoleMarkReach, palette.red);
    Gd().imageLine(image, x - kPoleMarkReach, y - kPoleMarkReach, x + kPoleMarkReach,
                   y + kPoleMarkReach, palette.red);
  }
}

// Rows of the impulse and step curves, around the zero-pole centre row.
int ResponseRow(double value) { return BottomRow(value, kZeroPoleY); }

// A curve of `points` display points as a polyline from the frame's left edge, one pixel per
// point.
template <typename RowOf>
void DrawCurve(gdImagePtr image, int left, const Curve& curve, int points, RowOf rowOf,
               int colour) {
  for (int k = 0; k + 1 < points; ++k) {
    Gd().imageLine(image, left + k, rowOf(curve[k]), left + k + 1, rowOf(curve[k + 1]), colour);
  }
}

void DrawStepResponse(gdImagePtr image, const ResponseSet& responses, const Palette& palette) {
  DrawCurve(image, kRightColumn, responses.step, kDisplayPoints, ResponseRow, palette.red);
  for (int p = 0; p < kAxisLabels; ++p) {
    const GraphText label = StepLabel(responses.stepPeak, p);
    DrawSmall(image, CentredSmall(kRightColumn - kValueLabelOffset, label),
              kBottomRow + kFrameHeight - kLabelRaise - p * kGridRowStep, label, palette.black);
  }
}

void DrawImpulseResponse(gdImagePtr image, const ResponseSet& responses, const Palette& palette) {
  DrawCurve(image, kMiddleColumn, responses.impulse, kDisplayPoints, ResponseRow, palette.red);
  for (int p = -2; p <= 2; ++p) {
    const GraphText label = ImpulseLabel(responses.impulsePeak, p);
    DrawSmall(image, CentredSmall(kMiddleColumn - kValueLabelOffset, label),
              kZeroPoleY - kLabelRaise - p * kGridRowStep, label, palette.black);
  }
}

void DrawToleranceMask(gdImagePtr image, const FilterSpec& spec, const ResponseSet& responses,
                       const Palette& palette) {
  const ToleranceMask mask = MakeToleranceMask(spec, responses, kLeftColumn, kTopRow);
  for (int i = 0; i < mask.count; ++i) {
    const MaskLine& line = mask.lines[i];
    Gd().imageLine(image, line.x1, line.row1, line.x2, line.row2, palette.blue);
  }
}

void DrawMagnitude(gdImagePtr image, const ResponseSet& responses, const Palette& palette) {
  const double minDb = responses.magnitudeMinDb;
  const double maxDb = responses.magnitudeMaxDb;
  DrawCurve(
      image, kLeftColumn, responses.magnitudeDb, kDisplayPoints,
      [minDb, maxDb](double db) { return MagnitudeRow(db, minDb, maxDb, kTopRow); }, palette.red);
  for (int p = 0; p < kAxisLabels; ++p) {
    const GraphText label = MagnitudeLabel(minDb, maxDb, p);
    DrawSmall(image, CentredSmall(kMagnitudeLabelX, label),
              kTopRow - kLabelRaise + p * kGridRowStep, label, palette.black);
  }
  DrawSmall(image, kDecibelLabelX, kTopTitleY, MakeGraphText("dB"), palette.black);
}

void DrawPhase(gdImagePtr image, const ResponseSet& responses, const Palette& palette) {
  DrawCurve(
      image, kMiddleColumn, responses.phase, kDisplayPoints,
      [](double radians) { return PhaseRow(radians, kTopRow); }, palette.red);
  for (int p = 0; p < kAxisLabels; ++p) {
    const GraphText label = MakeGraphText(kPhaseLabels[p]);
    DrawSmall(image, CentredSmall(kMiddleColumn - kValueLabelOffset, label),
              kTopRow - kLabelRaise + p * kGridRowStep, label, palette.black);
  }
}

// The last group delay is never computed, so its curve ends one point early.
void DrawGroupDelay(gdImagePtr image, const ResponseSet& responses, const Palette& palette) {
  const double min = responses.groupDelayMin;
  const double max = responses.groupDelayMax;
  DrawCurve(
      image, kRightColumn, responses.groupDelay, kDisplayPoints - 1,
      [min, max](double seconds) { return GroupDelayRow(seconds, min, max, kTopRow); },
      palette.red);
  const GraphText unit = MakeGraphText(responses.groupDelayUnit);
  DrawSmall(image, CentredSmall(kDelayUnitX, unit), kTopTitleY, unit, palette.black);
  for (int p = 0; p < kAxisLabels; ++p) {
    const GraphText label = GroupDelayLabel(min, max, responses.groupDelayFactor, p);
    DrawSmall(image, CentredSmall(kRightColumn - kValueLabelOffset, label),
              kTopRow + kFrameHeight - kLabelRaise - p * kGridRowStep, label, palette.black);
  }
}

void DrawPicture(gdImagePtr image, const FilterSpec& spec, const DisplayScale& scale,
                 const ResponseSet& responses, const SchemeCheck& scheme) {
  const Palette palette = AllocatePalette(image);
  Gd().imageFill(image, 0, 0, palette.white);
  DrawHeader(image, spec, scale, responses, scheme, palette);

  for (const int left : {kLeftColumn, kMiddleColumn, kRightColumn}) {
    DrawFrame(image, left, kTopRow);
  }
  Gd().imageArc(image, kZeroPoleX, kZeroPoleY, 2 * kUnitPixels, 2 * kUnitPixels, 0, kFullCircle,
                palette.black);
  for (const int left : {kMiddleColumn, kRightColumn}) {
    DrawFrame(image, left, kBottomRow);
  }
  DrawGraphTitles(image, palette);
  DrawFrequencyAxes(image, spec, scale, palette);
  DrawTimeAxes(image, scale, palette);
  DrawZerosAndPoles(image, spec, responses, palette);

  DrawStepResponse(image, responses, palette);
  DrawImpulseResponse(image, responses, palette);
  // Under the magnitude curve, which stays visible where the two meet.
  DrawToleranceMask(image, spec, responses, palette);
  DrawMagnitude(image, responses, palette);
  DrawPhase(image, responses, palette);
  DrawGroupDelay(image, responses, palette);
}

}  // namespace

OutputCode ExportGraphs(const FilterSpec& spec, const DisplayScale& scale,
                        const ResponseSet& responses, const SchemeCheck& scheme, const char* path) {
  if (path == nullptr) {
    return OutputCode::NotCreated;
  }
  if (LoadGdLibrary() == nullptr) {
    return OutputCode::PictureLibraryMissing;
  }
  const Image image(Gd().imageCreate(picture::kImageWidth, picture::kImageHeight));
  if (!image) {
    return OutputCode::NotCreated;
  }
  DrawPicture(image.get(), spec, scale, responses, scheme);

  OutputFile output(path);
  if (!output.IsOpen()) {
    return OutputCode::NotCreated;
  }
  Gd().imageGif(image.get(), output.File());
  return output.Commit() ? OutputCode::Ok : OutputCode::NotClosed;
}

}  // namespace qv
