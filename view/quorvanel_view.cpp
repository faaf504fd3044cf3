#include "view/quorvanel_view.h"

#include <QAction>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>

#include "framework/gdi_objects.h"
#include "framework/painter_dc.h"
#include "framework/screen_dc.h"
#include "framework/utf8_text.h"
#include "view/cursor_readout.h"
#include "view/graph_page.h"
#include "view/graph_page_layout.h"
#include "view/graph_source.h"

namespace qv {
namespace {

using page::kPageHeight;
using page::kPageWidth;
constexpr int kLineStep = 16;    // pixels scrolled by an arrow of a scroll bar
constexpr int kCrossCentre = 4;  // the saved pixels run from centre - 4 to centre + 3
constexpr int kCrossReachBack = 3;
constexpr int kCrossReachOn = 4;  // a stroke excludes its end point: 7 pixels around the centre
const COLORREF kCrossColour = RGB(0, 0, 255);
constexpr int kPreviewScreenShare = 90;  // percent of the screen's width and height
constexpr int kPercent = 100;

}  // namespace

CQuorvanelView::CQuorvanelView(CDocument& document, const GraphSource& source, QWidget* parent)
    : QAbstractScrollArea(parent), document_(document), source_(source) {
  viewport()->setMouseTracking(true);
  viewport()->setAutoFillBackground(false);
  setFocusPolicy(Qt::StrongFocus);
  horizontalScrollBar()->setSingleStep(kLineStep);
  verticalScrollBar()->setSingleStep(kLineStep);
  document_.AddView(this);
}

CQuorvanelView::~CQuorvanelView() { document_.RemoveView(this); }

void CQuorvanelView::OnUpdate() {
  // Drawn once per change, on the next paint; paints in between only copy the page.
  pageOutOfDate_ = true;
  crossX_ = -1;
  // Whatever the change, the texts read off the old page no longer hold.
  ClearReadout();
  viewport()->update();
}

void CQuorvanelView::ClearReadout() {
  if (readoutSink_) {
    readoutSink_(QString(), QString());
  }
}

void CQuorvanelView::OnDraw(CDC& dc) const {
  DrawGraphPage(dc, source_.GetSpec(), source_.GetScale(), source_.GetResponses(),
                source_.GetSchemeCheck(), source_.IsCalculated());
}

void CQuorvanelView::RenderPage() {
  const qreal ratio = devicePixelRatioF();
  const QSize pixels(static_cast<int>(kPageWidth * ratio), static_cast<int>(kPageHeight * ratio));
  if (page_.size() != pixels) {
    page_ = QImage(pixels, QImage::Format_RGB32);
  }
  page_.setDevicePixelRatio(ratio);
  page_.fill(Qt::white);
  {
    CScreenDC dc(page_);
    OnDraw(dc);
  }
  pageOutOfDate_ = false;
  crossX_ = -1;
}

const QImage& CQuorvanelView::PageImage() {
  if (pageOutOfDate_ || !qFuzzyCompare(page_.devicePixelRatio(), devicePixelRatioF())) {
    RenderPage();
  }
  return page_;
}

void CQuorvanelView::paintEvent(QPaintEvent*) {
  const QImage& page = PageImage();
  QPainter painter(viewport());
  painter.fillRect(viewport()->rect(), Qt::white);
  painter.drawImage(QPoint(-horizontalScrollBar()->value(), -verticalScrollBar()->value()), page);
}

void CQuorvanelView::UpdateScrollBars() {
  const QSize area = viewport()->size();
  horizontalScrollBar()->setRange(0, qMax(0, kPageWidth - area.width()));
  horizontalScrollBar()->setPageStep(area.width());
  verticalScrollBar()->setRange(0, qMax(0, kPageHeight - area.height()));
  verticalScrollBar()->setPageStep(area.height());
}

void CQuorvanelView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
}

void CQuorvanelView::scrollContentsBy(int, int) { viewport()->update(); }

bool CQuorvanelView::viewportEvent(QEvent* event) {
  // The scroll area hands the page's leave event to no handler of its own.
  if (event->type() == QEvent::Leave) {
    OnMouseLeave();
  }
  return QAbstractScrollArea::viewportEvent(event);
}

void CQuorvanelView::OnMouseLeave() {
  if (!pageOutOfDate_) {
    CScreenDC dc(page_);
    EraseCross(dc, 0, 0);
  }
  crossX_ = -1;
  ClearReadout();
  viewport()->update();
}

void CQuorvanelView::EraseCross(CDC& dc, int originX, int originY) {
  if (crossX_ >= 0) {
    const int cx = crossX_ - originX;
    const int cy = crossY_ - originY;
    for (int i = 0; i < kCrossSaved; ++i) {
      dc.SetPixel(cx + i - kCrossCentre, cy, savedHorizontal_[i]);
      dc.SetPixel(cx, cy + i - kCrossCentre, savedVertical_[i]);
    }
  }
  crossX_ = -1;
}

void CQuorvanelView::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  OnMouseMove(at.x(), at.y());
}

void CQuorvanelView::OnMouseMove(int x, int y) {
  if (!source_.IsCalculated()) {
    return;
  }
  const int scrollX = horizontalScrollBar()->value();
  const int scrollY = verticalScrollBar()->value();
  const CursorReadout reading = ReadCursor(x + scrollX, y + scrollY, source_.GetSpec(),
                                           source_.GetScale(), source_.GetResponses());
  if (reading.kind == ReadoutKind::Ignored) {
    return;
  }
  PageImage();
  {
    // The cross lives in the page image; window pixels reach it through the scroll offset.
    CScreenDC dc(page_);
    dc.SetViewportOrg(scrollX, scrollY);
    EraseCross(dc, scrollX, scrollY);
    if (readoutSink_) {
      readoutSink_(FromUtf8View(reading.horizontalText), FromUtf8View(reading.verticalText));
    }
    if (reading.kind == ReadoutKind::Hit) {
      const int cx = reading.crossX - scrollX;
      const int cy = reading.crossY - scrollY;
      for (int i = 0; i < kCrossSaved; ++i) {
        savedHorizontal_[i] = dc.GetPixel(cx + i - kCrossCentre, cy);
        savedVertical_[i] = dc.GetPixel(cx, cy + i - kCrossCentre);
      }
      crossX_ = reading.crossX;
      crossY_ = reading.crossY;
      CPen blue;
      blue.CreatePen(PS_SOLID, 1, kCrossColour);
      CPen* old = dc.SelectObject(&blue);
      dc.MoveTo(cx, cy - kCrossReachBack);
      dc.LineTo(cx, cy + kCrossReachOn);
      dc.MoveTo(cx - kCrossReachBack, cy);
      dc.LineTo(cx + kCrossReachOn, cy);
      dc.SelectObject(old);
    }
  }
  viewport()->update();
}

QPrinter& CQuorvanelView::Printer() {
  if (!printer_) {
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    // The page is 10.24 inches wide: it fits across a landscape sheet.
    printer_->setPageOrientation(QPageLayout::Landscape);
  }
  return *printer_;
}

void CQuorvanelView::PrintPage(QPagedPaintDevice& device) const {
  QPainter painter(&device);
  CPainterDC dc(painter, true);
  OnDraw(dc);
}

void CQuorvanelView::OnFilePrint() {
  QPrintDialog dialog(&Printer(), this);
  if (dialog.exec() == QDialog::Accepted) {
    PrintPage(Printer());
  }
}

void CQuorvanelView::PreparePrintPreview(QPrintPreviewDialog& preview) {
  connect(&preview, &QPrintPreviewDialog::paintRequested, this,
          [this](QPrinter* printer) { PrintPage(*printer); });
  // Large enough to read the page: most of the screen, the page fitted to its width.
  if (const QScreen* screen = this->screen()) {
    const QSize available = screen->availableGeometry().size();
    preview.resize(available.width() * kPreviewScreenShare / kPercent,
                   available.height() * kPreviewScreenShare / kPercent);
  }
  if (auto* pages = preview.findChild<QPrintPreviewWidget*>()) {
    // Through the dialog's own button when it has one, so that its tool bar shows the mode.
    if (auto* fitWidth = preview.findChild<QAction*>(QStringLiteral("fitWidthAction"))) {
      fitWidth->trigger();
    } else {
      pages->fitToWidth();
    }
    auto* next = new QShortcut(QKeySequence(Qt::Key_PageDown), &preview);
    connect(next, &QShortcut::activated, pages,
            [pages] { pages->setCurrentPage(pages->currentPage() + 1); });
    auto* previous = new QShortcut(QKeySequence(Qt::Key_PageUp), &preview);
    connect(previous, &QShortcut::activated, pages,
            [pages] { pages->setCurrentPage(pages->currentPage() - 1); });
  }
}

void CQuorvanelView::OnFilePrintPreview() {
  QPrintPreviewDialog preview(&Printer(), this);
  PreparePrintPreview(preview);
  preview.exec();
}

void CQuorvanelView::OnFilePrintSetup() {
  QPageSetupDialog setup(&Printer(), this);
  setup.exec();
}

}  // namespace qv
