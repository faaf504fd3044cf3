#include "framework/screen_dc.h"

namespace qv {

CScreenDC::CScreenDC(QImage& image)
    : ImagePainter(image), CPainterDC(painter, false, kScreenDotsPerInch), image_(image) {}

COLORREF CScreenDC::GetPixel(int x, int y) const {
  const DevicePoint point = LogicalToDevice(x, y);
  const double ratio = image_.devicePixelRatio();
  const double column = point.x * ratio;
  const double row = point.y * ratio;
  if (column < 0.0 || row < 0.0 || column >= image_.width() || row >= image_.height()) {
    return CLR_INVALID;
  }
  const QRgb rgb = image_.pixel(static_cast<int>(column), static_cast<int>(row));
  return RGB(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

}  // namespace qv
