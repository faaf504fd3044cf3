#include "framework/painter_dc.h"

#include <QFont>
#include <QFontMetrics>
#include <QPaintDevice>
#include <QString>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <mutex>

#include "framework/utf8_text.h"

namespace qv {
namespace {

// Dots of a dotted line: three pixels drawn, three left out, for a one-pixel pen; a wider pen
// (on paper) draws dots and gaps as long as it is wide.
constexpr int kThinDot = 3;
constexpr double kWideDot = 1.0;

// The drawing asks for the classic faces; the Liberation faces have the same metrics.
void InstallFontSubstitutes() {
  static std::once_flag installed;
  std::call_once(installed, [] {
    QFont::insertSubstitution(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
  });
}

QColor ToQColor(COLORREF color) {
  return QColor(GetRValue(color), GetGValue(color), GetBValue(color));
}

QPointF ToQPoint(DevicePoint point) { return {point.x, point.y}; }

// A device coordinate as a pixel, held within the distance a stroke is walked exactly.
int HeldPixel(double coordinate) {
  constexpr double kFar = kFarthestStrokePixel;
  return static_cast<int>(std::clamp(coordinate, -kFar, kFar));
}

CPoint ToPixel(DevicePoint point) { return {HeldPixel(point.x), HeldPixel(point.y)}; }

}  // namespace

CPainterDC::CPainterDC(QPainter& painter, bool printing, int dotsPerInch)
    : painter_(painter), printing_(printing), dotsPerInch_(std::max(1, dotsPerInch)) {
  InstallFontSubstitutes();
  painter_.save();
  painter_.setRenderHint(QPainter::Antialiasing, false);
  painter_.setBackgroundMode(Qt::TransparentMode);
  painter_.setBrush(Qt::white);
}

CPainterDC::CPainterDC(QPainter& painter, bool printing)
    : CPainterDC(
          painter, printing,
          painter.device() != nullptr ? painter.device()->logicalDpiY() : kScreenDotsPerInch) {}

CPainterDC::~CPainterDC() { painter_.restore(); }

COLORREF CPainterDC::GetPixel(int, int) const { return CLR_INVALID; }

COLORREF CPainterDC::SetPixel(int x, int y, COLORREF color) {
  const DevicePoint point = LogicalToDevice(x, y);
  painter_.fillRect(QRectF(point.x, point.y, 1.0, 1.0), ToQColor(color));
  return color;
}

QRectF CPainterDC::DeviceBox(int x1, int y1, int x2, int y2) const {
  const DevicePoint a = LogicalToDevice(x1, y1);
  const DevicePoint b = LogicalToDevice(x2, y2);
  const double left = std::min(a.x, b.x);
  const double top = std::min(a.y, b.y);
  // The outline is drawn on the box's edges, one device pixel inside its right and bottom.
  const double width = std::max(0.0, std::abs(b.x - a.x) - 1.0);
  const double height = std::max(0.0, std::abs(b.y - a.y) - 1.0);
  return {left, top, width, height};
}

void CPainterDC::UsePen() {
  const CPen& pen = SelectedPen();
  const double width = LogicalToDeviceWidth(pen.Width());
  if (appliedPen_.style == pen.Style() && appliedPen_.width == width &&
      appliedPen_.color == pen.Color()) {
    return;
  }
  QPen qpen(ToQColor(pen.Color()));
  qpen.setWidthF(width);
  const bool thin = width <= 1.0;
  // A flat end leaves the end point out; wide pens (on paper) end and join round.
  qpen.setCapStyle(thin || pen.Style() == PS_DOT ? Qt::FlatCap : Qt::RoundCap);
  qpen.setJoinStyle(thin ? Qt::MiterJoin : Qt::RoundJoin);
  if (pen.Style() == PS_DOT) {
    const double dot = thin ? kThinDot : kWideDot;
    qpen.setDashPattern({dot, dot});
  }
  painter_.setPen(qpen);
  painter_.setBrush(Qt::white);
  appliedPen_ = {pen.Style(), width, pen.Color()};
}

void CPainterDC::DrawRectangle(int x1, int y1, int x2, int y2) {
  UsePen();
  painter_.drawRect(DeviceBox(x1, y1, x2, y2));
}

void CPainterDC::DrawEllipse(int x1, int y1, int x2, int y2) {
  UsePen();
  painter_.drawEllipse(DeviceBox(x1, y1, x2, y2));
}

void CPainterDC::DrawLine(CPoint from, CPoint to) {
  UsePen();
  const DevicePoint start = LogicalToDevice(from.x, from.y);
  const DevicePoint end = LogicalToDevice(to.x, to.y);
  if (appliedPen_.width > 1.0) {
    painter_.drawLine(ToQPoint(start), ToQPoint(end));
    return;
  }
  // The painter's own thin lines draw the upper or left end and leave out the other, whichever
  // the stroke starts at; the stroke's pixels are walked here instead.
  const QColor colour = ToQColor(appliedPen_.color);
  const int dot = appliedPen_.style == PS_DOT ? kThinDot : 0;
  StrokePixelRuns(ToPixel(start), ToPixel(end), dot, PixelBounds(), [&](const PixelRun& run) {
    painter_.fillRect(QRectF(run.left, run.top, run.width, run.height), colour);
  });
}

PixelClip CPainterDC::PixelBounds() const {
  const QPaintDevice* device = painter_.device();
  if (device == nullptr) {
    return {-kFarthestStrokePixel, -kFarthestStrokePixel, kFarthestStrokePixel,
            kFarthestStrokePixel};
  }
  // The device's pixels in painter units, a unit more on each side; on an image with a pixel
  // ratio its physical size, which covers more than its painter units.
  bool invertible = false;
  const QTransform toUnits = painter_.transform().inverted(&invertible);
  const QRectF area = (invertible ? toUnits : QTransform())
                          .mapRect(QRectF(0.0, 0.0, device->width(), device->height()));
  return {HeldPixel(area.left() - 1.0), HeldPixel(area.top() - 1.0), HeldPixel(area.right() + 1.0),
          HeldPixel(area.bottom() + 1.0)};
}

void CPainterDC::DrawText(int x, int y, std::string_view text) {
  const CFont& selected = SelectedFont();
  QFont font(FromUtf8View(selected.Face()));
  font.setPixelSize(selected.PixelHeight());
  // Whole-pixel advances, so a 13-pixel Courier New is 8 pixels a character.
  font.setHintingPreference(QFont::PreferFullHinting);
  painter_.setFont(font);
  painter_.setPen(Qt::black);
  appliedPen_ = {};

  // Mapped as a point, drawn in device space: upright whatever the mapping.
  const DevicePoint topLeft = LogicalToDevice(x, y);
  const QFontMetrics metrics(font, painter_.device());
  painter_.drawText(QPointF(topLeft.x, topLeft.y + metrics.ascent()),
                    QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
}

}  // namespace qv
