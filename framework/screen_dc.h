// The device context of the screen page: a QPainter on the view's backing image, which is
// 1024 x 700 logical pixels at the screen's device-pixel ratio (one logical unit of the page is
// one logical pixel at 96 dots per inch). Its pixels can be read back and set, as the cursor
// readout does.
#pragma once

#include <QImage>
#include <QPainter>

#include "framework/painter_dc.h"

namespace qv {

namespace screen_dc_detail {
// Holds the painter so that it exists before the painter context that draws with it.
struct ImagePainter {
  explicit ImagePainter(QImage& image) : painter(&image) {}
  QPainter painter;
};
}  // namespace screen_dc_detail

class CScreenDC : private screen_dc_detail::ImagePainter, public CPainterDC {
 public:
  // Takes the backing image, which must outlive the context and not be painted on by anyone
  // else meanwhile; the context paints on it until it ends.
  explicit CScreenDC(QImage& image);

  // Takes a logical point; returns the colour of the first image pixel of its block
  // (ratio x ratio image pixels), or CLR_INVALID outside the image.
  COLORREF GetPixel(int x, int y) const override;

 private:
  const QImage& image_;
};

}  // namespace qv
