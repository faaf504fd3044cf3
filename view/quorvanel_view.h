// The graph view: the right pane, a scrolling view of the 1024 x 700 page with the summary and
// the six graphs, printed and previewed from the same drawing, with the cursor readout.
#pragma once

#include <QAbstractScrollArea>
#include <QImage>
#include <QString>
#include <array>
#include <functional>
#include <memory>

#include "framework/document.h"

class QPagedPaintDevice;
class QPrintPreviewDialog;
class QPrinter;

namespace qv {

class CDC;
class GraphSource;

class CQuorvanelView : public QAbstractScrollArea, public CView {
  Q_OBJECT

 public:
  // Receives the two readout texts (horizontal value, vertical value) on every handled move.
  using ReadoutSink = std::function<void(const QString&, const QString&)>;

  // `document` keeps the view informed of changes; `source` is what the view reads of it.
  CQuorvanelView(CDocument& document, const GraphSource& source, QWidget* parent);
  ~CQuorvanelView() override;

  // The document changed: the page is drawn again before the next paint, without the cross,
  // and the readout texts are emptied.
  void OnUpdate() override;
  void SetReadoutSink(ReadoutSink sink) { readoutSink_ = std::move(sink); }

  // Draws the page on `dc`: the screen page, or the printed page when the DC prints.
  void OnDraw(CDC& dc) const;
  // Draws the printed page on a printer, a preview or a PDF writer, one page.
  void PrintPage(QPagedPaintDevice& device) const;
  // Sets up a print preview of the page: drawn by PrintPage, sized to most of the screen with
  // the page fitted to its width, Page Down and Page Up turning pages.
  void PreparePrintPreview(QPrintPreviewDialog& preview);

  // The page as it is on screen (drawn when out of date), with the cursor cross if any.
  const QImage& PageImage();

  // The mouse at (x, y) in window pixels: updates the readout texts and the cross.
  void OnMouseMove(int x, int y);
  // The mouse left the page: the cross goes and the readout texts are emptied.
  void OnMouseLeave();
  [[nodiscard]] bool HasCross() const { return crossX_ >= 0; }

 public slots:
  void OnFilePrint();
  void OnFilePrintPreview();
  void OnFilePrintSetup();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  bool viewportEvent(QEvent* event) override;

 private:
  void UpdateScrollBars();
  void RenderPage();
  // Puts back the pixels under the cross, if any, on `dc`, whose logical (0, 0) is the page
  // pixel (originX, originY); records no cross.
  void EraseCross(CDC& dc, int originX, int originY);
  void ClearReadout();
  QPrinter& Printer();

  CDocument& document_;
  const GraphSource& source_;
  QImage page_;
  bool pageOutOfDate_ = true;
  ReadoutSink readoutSink_;
  // The cursor cross in page pixels (x = -1: none) and the colours under its two arms.
  static constexpr int kCrossSaved = 8;
  int crossX_ = -1;
  int crossY_ = 0;
  std::array<unsigned, kCrossSaved> savedHorizontal_{};
  std::array<unsigned, kCrossSaved> savedVertical_{};
  std::unique_ptr<QPrinter> printer_;
};

}  // namespace qv
