#include "view/graph_page.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "graph/graph_text.h"
#include "graph/pixel_position.h"
#include "graph/tolerance_mask.h"
#include "graph/verdict_text.h"
#include "records/identification.h"
#include "view/graph_page_layout.h"

namespace qv {
namespace {

using namespace page;

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// Logical y of a page row: the drawing's y grows upwards from the page's top edge.
constexpr int Y(int row) { return -row; }

// The fonts and pens of one drawing, made for its target.
struct Tools {
  explicit Tools(const CDC& dc) {
    courier.CreatePointFont(kCourierTenths, "Courier New", &dc);
    arial.CreatePointFont(kArialTenths, "Arial", &dc);
    blackPen.CreatePen(PS_SOLID, 1, kBlack);
    dotPen.CreatePen(PS_DOT, 1, kBlack);
    redPen.CreatePen(PS_SOLID, 1, kRed);
    bluePen.CreatePen(PS_SOLID, 1, kBlue);
  }
  CFont courier;
  CFont arial;
  CPen blackPen;
  CPen dotPen;
  CPen redPen;
  CPen bluePen;
};

void Text(CDC& dc, int x, int row, const GraphText& text) {
  if (text.length > 0) {
    dc.TextOut(x, Y(row), text.View());
  }
}

void Line(CDC& dc, int x1, int row1, int x2, int row2) {
  dc.MoveTo(x1, Y(row1));
  dc.LineTo(x2, Y(row2));
}

// x of a text centred on `centre`, `charWidth` units per character.
int Centred(int centre, const GraphText& text, int charWidth) {
  return centre - (charWidth * text.length) / 2;
}

// x of a Courier title centred over a 256-unit column.
int TitleX(int left, const GraphText& text) {
  return left + ((kTitleChars - text.length) * kCourierCharWidth) / 2;
}

void SetMapping(CDC& dc) {
  if (dc.IsPrinting()) {
    dc.SetMapMode(MM_LOENGLISH);
    return;
  }
  dc.SetMapMode(MM_ANISOTROPIC);
  dc.SetWindowExt(kPageWidth, kPageHeight);
  dc.SetViewportExt(kPageWidth, -kPageHeight);
}

void DrawPaperHeader(CDC& dc) {
  const GraphText heading = MakeGraphText("Digital Filter Graphics");
  Text(dc, ((kPageChars - heading.length) * kCourierCharWidth) / 2, kHeadingRow, heading);
  Text(dc, kTextLeft, kVersionRow, VersionLine());
  Text(dc, kTextLeft, kVersionRow + kContactRowStep, MakeGraphText(kWebSite));
  Text(dc, kTextLeft, kVersionRow + 2 * kContactRowStep, MakeGraphText(kContactEmail));
}

void DrawSummary(CDC& dc, const FilterSpec& spec, const DisplayScale& scale,
                 const ResponseSet& responses, const SchemeCheck& scheme) {
  const SummaryText summary = FormatSummary(spec, scale);
  for (int row = 0; row < kSummaryRows; ++row) {
    Text(dc, kTextLeft, kSummaryRow + row * kSummaryRowStep, summary[row]);
  }
  const VerdictText verdict = FormatVerdict(spec, responses, scheme);
  for (int row = 0; row < kVerdictRows; ++row) {
    Text(dc, kVerdictLeft, kSummaryRow + row * kSummaryRowStep, verdict[row]);
  }
}

// The box and its 4 x 4 grid; the pen selected before is selected again at the end.
void DrawFrame(CDC& dc, Tools& tools, int left, int top) {
  dc.Rectangle(left, Y(top), left + kFrameWidth, Y(top + kFrameHeight));
  CPen* previous = dc.SelectObject(&tools.dotPen);
  for (int line = 1; line <= kGridLines; ++line) {
    const int row = top + line * kGridRowStep;
    Line(dc, left, row, left + kFrameWidth, row);
  }
  for (int line = 1; line <= kGridLines; ++line) {
    const int x = left + line * kGridColumnStep;
    Line(dc, x, top, x, top + kFrameHeight);
  }
  dc.SelectObject(previous);
}

void DrawFrames(CDC& dc, Tools& tools) {
  dc.Ellipse(kZeroPoleX - kUnitPixels, Y(kZeroPoleY - kUnitPixels), kZeroPoleX + kUnitPixels,
             Y(kZeroPoleY + kUnitPixels));
  dc.SelectObject(&tools.dotPen);
  Line(dc, kZeroPoleX - kUnitPixels, kZeroPoleY, kZeroPoleX + kUnitPixels, kZeroPoleY);
  Line(dc, kZeroPoleX, kZeroPoleY - kUnitPixels, kZeroPoleX, kZeroPoleY + kUnitPixels);
  dc.SelectObject(&tools.blackPen);

  for (const int left : {kLeftColumn, kMiddleColumn, kRightColumn}) {
    DrawFrame(dc, tools, left, kTopFrameTop);
  }
  for (const int left : {kMiddleColumn, kRightColumn}) {
    DrawFrame(dc, tools, left, kBottomFrameTop);
  }
}

void DrawTitles(CDC& dc) {
  constexpr std::array<int, kGraphsPerRow> kLefts = {kLeftColumn, kMiddleColumn, kRightColumn};
  for (int graph = 0; graph < kGraphCount; ++graph) {
    const GraphText text = MakeGraphText(kGraphTitles[graph]);
    const int row = graph < kGraphsPerRow ? kTopTitleRow : kBottomTitleRow;
    Text(dc, TitleX(kLefts[graph % kGraphsPerRow], text), row, text);
  }
}

// Five labels under the grid lines of the graph whose column starts `origin` after the left
// column, then the unit.
template <typename LabelOf>
void DrawAxis(CDC& dc, int origin, int row, LabelOf labelOf, std::string_view unit) {
  for (int k = 0; k < kAxisLabels; ++k) {
    const GraphText label = labelOf(k);
    Text(dc, Centred(kLeftColumn + origin + k * kGridColumnStep, label, kArialCharWidth), row,
         label);
  }
  Text(dc, kLeftColumn + origin + kAxisUnitOffset, row, MakeGraphText(unit));
}

void DrawAxes(CDC& dc, const FilterSpec& spec, const DisplayScale& scale) {
  const auto frequency = [&](int k) { return FrequencyLabel(spec.fsample, scale.freqDivisor, k); };
  for (const int origin : {0, kColumnPitch, 2 * kColumnPitch}) {
    DrawAxis(dc, origin, kFrequencyLabelRow, frequency, scale.freqUnit);
  }
  const auto time = [&](int k) { return TimeLabel(scale.timeStep, k); };
  for (const int origin : {kColumnPitch, 2 * kColumnPitch}) {
    DrawAxis(dc, origin, kTimeLabelRow, time, scale.timeUnit);
  }
}

void DrawZerosAndPoles(CDC& dc, const FilterSpec& spec, const ResponseSet& responses) {
  if (!IsIirModel(spec.model)) {
    return;
  }
  const int count = std::clamp<int>(spec.effectiveOrder, 0, kMaxCoefficients);
  for (int i = 0; i < count; ++i) {
    const int x = ZeroPoleColumn(responses.zeros[i].re, kZeroPoleX);
    const int row = BottomRow(responses.zeros[i].im, kZeroPoleY);
    dc.Ellipse(x - kZeroMarkReach, Y(row - kZeroMarkReach), x + kZeroMarkReach,
               Y(row + kZeroMarkReach));
  }
  for (int i = 0; i < count; ++i) {
    const int x = ZeroPoleColumn(responses.poles[i].re, kZeroPoleX);
    const int row = BottomRow(responses.poles[i].im, kZeroPoleY);
    Line(dc, x - kPoleMarkNear, row - kPoleMarkNear, x + kPoleMarkFar, row + kPoleMarkFar);
    Line(dc, x + kPoleMarkNear, row - kPoleMarkNear, x - kPoleMarkFar, row + kPoleMarkFar);
  }
}

// A polyline through the first `points` values, one unit per point from the frame's left edge.
template <typename RowOf>
void DrawCurve(CDC& dc, int left, const Curve& curve, int points, RowOf rowOf) {
  dc.MoveTo(left, Y(rowOf(curve[0])));
  for (int k = 1; k < points; ++k) {
    dc.LineTo(left + k, Y(rowOf(curve[k])));
  }
}

int ResponseRow(double value) { return BottomRow(value, kZeroPoleY); }

// Labels of the impulse and step graphs end inside their frame's left edge.
int RightAligned(int left, const GraphText& text) {
  return left + kRightAlignedLabelInset - kArialCharWidth * text.length;
}

void DrawStep(CDC& dc, const ResponseSet& responses) {
  DrawCurve(dc, kRightColumn, responses.step, kDisplayPoints, ResponseRow);
  const int bottom = kBottomFrameTop + kFrameHeight - kResponseLabelRaise;
  for (int p = 0; p < kAxisLabels; ++p) {
    const GraphText label = StepLabel(responses.stepPeak, p);
    Text(dc, RightAligned(kRightColumn, label), bottom - p * kGridRowStep, label);
  }
}

void DrawImpulse(CDC& dc, const ResponseSet& responses) {
  DrawCurve(dc, kMiddleColumn, responses.impulse, kDisplayPoints, ResponseRow);
  const int centre = kZeroPoleY - kResponseLabelRaise;
  for (int p = -2; p <= 2; ++p) {
    const GraphText label = ImpulseLabel(responses.impulsePeak, p);
    Text(dc, RightAligned(kMiddleColumn, label), centre - p * kGridRowStep, label);
  }
}

// The mask's lines include both ends; a stroke leaves out its end point, so it ends one beyond.
void DrawToleranceMask(CDC& dc, const FilterSpec& spec, const ResponseSet& responses) {
  const ToleranceMask mask = MakeToleranceMask(spec, responses, kLeftColumn, kTopFrameTop);
  for (int i = 0; i < mask.count; ++i) {
    const MaskLine& line = mask.lines[i];
    const auto beyond = [](int from, int to) { return to + (to > from) - (to < from); };
    Line(dc, line.x1, line.row1, beyond(line.x1, line.x2), beyond(line.row1, line.row2));
  }
}

void DrawMagnitude(CDC& dc, const ResponseSet& responses) {
  const double minDb = responses.magnitudeMinDb;
  const double maxDb = responses.magnitudeMaxDb;
  DrawCurve(dc, kLeftColumn, responses.magnitudeDb, kDisplayPoints,
            [=](double db) { return MagnitudeRow(db, minDb, maxDb, kTopFrameTop); });
  for (int p = 0; p < kAxisLabels; ++p) {
    const GraphText label = MagnitudeLabel(minDb, maxDb, p);
    const int x = kMagnitudeLabelCentre + (kArialCharWidth - kArialCharWidth * label.length) / 2;
    Text(dc, x, kTopFrameTop - kMagnitudeLabelRaise + p * kGridRowStep, label);
  }
  const GraphText decibel = MakeGraphText("dB");
  Text(dc, kArialCharWidth * (kDecibelChars - decibel.length), kTopTitleRow, decibel);
}

void DrawPhase(CDC& dc, const ResponseSet& responses) {
  DrawCurve(dc, kMiddleColumn, responses.phase, kDisplayPoints,
            [](double radians) { return PhaseRow(radians, kTopFrameTop); });
  for (int p = 0; p < kAxisLabels; ++p) {
    const GraphText label = MakeGraphText(kPhaseLabels[p]);
    Text(dc, Centred(kMiddleColumn - kCentredLabelOffset, label, kArialCharWidth),
         kTopFrameTop - kPhaseLabelRaise + p * kGridRowStep, label);
  }
}

// The last group delay is never computed, so its curve ends one point early.
void DrawGroupDelay(CDC& dc, const ResponseSet& responses) {
  const double min = responses.groupDelayMin;
  const double max = responses.groupDelayMax;
  DrawCurve(dc, kRightColumn, responses.groupDelay, kDisplayPoints - 1,
            [=](double seconds) { return GroupDelayRow(seconds, min, max, kTopFrameTop); });
  const int centre = kRightColumn - kCentredLabelOffset;
  const int bottom = kTopFrameTop + kFrameHeight - kDelayLabelRaise;
  for (int p = 0; p < kAxisLabels; ++p) {
    const GraphText label = GroupDelayLabel(min, max, responses.groupDelayFactor, p);
    Text(dc, Centred(centre, label, kArialCharWidth), bottom - p * kGridRowStep, label);
  }
  const GraphText unit = MakeGraphText(responses.groupDelayUnit);
  Text(dc, Centred(centre, unit, kArialCharWidth), kTopTitleRow, unit);
}

}  // namespace

void DrawGraphPage(CDC& dc, const FilterSpec& spec, const DisplayScale& scale,
                   const ResponseSet& responses, const SchemeCheck& scheme, bool calculated) {
  SetMapping(dc);
  Tools tools(dc);
  CFont* oldFont = dc.SelectObject(&tools.courier);
  if (!calculated) {
    dc.SelectObject(oldFont);
    return;
  }
  CPen* oldPen = dc.SelectObject(&tools.blackPen);

  if (dc.IsPrinting()) {
    DrawPaperHeader(dc);
  }
  DrawSummary(dc, spec, scale, responses, scheme);
  DrawFrames(dc, tools);
  DrawTitles(dc);

  dc.SelectObject(&tools.arial);
  DrawAxes(dc, spec, scale);

  dc.SelectObject(&tools.redPen);
  DrawZerosAndPoles(dc, spec, responses);
  DrawStep(dc, responses);
  DrawImpulse(dc, responses);
  if (spec.scheme.active) {
    // Under the magnitude curve, which stays visible where the two meet.
    dc.SelectObject(&tools.bluePen);
    DrawToleranceMask(dc, spec, responses);
    dc.SelectObject(&tools.redPen);
  }
  DrawMagnitude(dc, responses);
  DrawPhase(dc, responses);
  DrawGroupDelay(dc, responses);

  dc.SelectObject(oldFont);
  dc.SelectObject(oldPen);
}

}  // namespace qv
