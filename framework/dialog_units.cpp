#include "framework/dialog_units.h"

#include <QFontMetrics>

namespace qv {
namespace {

constexpr int kHorizontalUnitsPerChar = 4;
constexpr int kVerticalUnitsPerLine = 8;
constexpr int kLettersPerCase = 26;

constexpr int kTemplatePoints = 8;

}  // namespace

QFont TemplateFont() { return QFont(QStringLiteral("Liberation Sans"), kTemplatePoints); }

DialogUnits::DialogUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  const int alphabet = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  baseX_ = (alphabet / kLettersPerCase + 1) / 2;
  baseY_ = metrics.height();
}

int DialogUnits::ToPixelsX(int units) const { return units * baseX_ / kHorizontalUnitsPerChar; }

int DialogUnits::ToPixelsY(int units) const { return units * baseY_ / kVerticalUnitsPerLine; }

QRect DialogUnits::ToPixels(int x, int y, int width, int height) const {
  return {ToPixelsX(x), ToPixelsY(y), ToPixelsX(width), ToPixelsY(height)};
}

}  // namespace qv
