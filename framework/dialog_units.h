// Dialog templates give positions in dialog units: a quarter of the dialog font's average
// character width horizontally, an eighth of its height vertically. Laying controls out by
// them keeps a form's proportions whatever font and screen it is shown with.
#pragma once

#include <QFont>
#include <QRect>

namespace qv {

// The font of the dialog templates, "MS Sans Serif" 8 pt, as its metric-compatible stand-in
// "Liberation Sans" 8 pt.
QFont TemplateFont();

class DialogUnits {
 public:
  // Takes the dialog's font; its average character width (over the 52 letters, rounded as the
  // classic dialog manager rounds) and its line height become the base units.
  explicit DialogUnits(const QFont& font);

  // Takes a rectangle in dialog units (x, y, width, height); returns it in pixels.
  [[nodiscard]] QRect ToPixels(int x, int y, int width, int height) const;
  [[nodiscard]] int ToPixelsX(int units) const;
  [[nodiscard]] int ToPixelsY(int units) const;

 private:
  int baseX_;
  int baseY_;
};

}  // namespace qv
