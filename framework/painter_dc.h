// A device context that draws with a QPainter: on the screen page's backing image, on a
// printer, in a print preview or into a PDF.
#pragma once

#include <QPainter>

#include "framework/device_context.h"
#include "framework/stroke_pixels.h"

namespace qv {

class CPainterDC : public CDC {
 public:
  // Takes a painter that is active on its device for the life of the context (its units, with
  // whatever transformation it carries, are the device pixels), whether the target is a
  // printer or a print preview, and the painter units per inch. The painter's state is
  // restored when the context ends.
  CPainterDC(QPainter& painter, bool printing, int dotsPerInch);
  // As above, at the paint device's own logical resolution (a printer's resolution).
  CPainterDC(QPainter& painter, bool printing);
  ~CPainterDC() override;

  // A painter target has no pixels to read back: CLR_INVALID.
  COLORREF GetPixel(int x, int y) const override;
  // Fills one painter unit at the point (on an image with a device-pixel ratio, a block of
  // ratio x ratio image pixels).
  COLORREF SetPixel(int x, int y, COLORREF color) override;
  bool IsPrinting() const override { return printing_; }
  int DotsPerInch() const override { return dotsPerInch_; }

 protected:
  void DrawRectangle(int x1, int y1, int x2, int y2) override;
  void DrawEllipse(int x1, int y1, int x2, int y2) override;
  void DrawLine(CPoint from, CPoint to) override;
  void DrawText(int x, int y, std::string_view text) override;

 private:
  // The box of two logical corners in device pixels, without its right column and bottom row.
  QRectF DeviceBox(int x1, int y1, int x2, int y2) const;
  // Hands the selected pen (and the white fill) to the painter when it differs from the last.
  void UsePen();
  // The painter units of the device, where one-pixel strokes are walked.
  [[nodiscard]] PixelClip PixelBounds() const;

  QPainter& painter_;
  bool printing_;
  int dotsPerInch_;
  // What the painter draws lines with now; the text colour replaces it.
  struct AppliedPen {
    int style = -1;
    double width = 0.0;
    COLORREF color = CLR_INVALID;
  };
  AppliedPen appliedPen_;
};

}  // namespace qv
