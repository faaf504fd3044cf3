// The graph view widget: the page drawn once per change, the cursor cross kept in the page
// image with the pixels under it restored, scrolled or not, and the readout handed over.
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QScreen>
#include <QScrollBar>
#include <QTest>

#include "desktop/quorvanel_doc.h"
#include "tests/support/scripted_services.h"
#include "view/quorvanel_view.h"

namespace {

constexpr QRgb kBlue = qRgb(0, 0, 255);

}  // namespace

class GraphViewTest : public QObject {
  Q_OBJECT

 private:
  qv::testing::ScriptedMessages* messages_ = nullptr;
  qv::CQuorvanelDoc* doc_ = nullptr;
  qv::CQuorvanelView* view_ = nullptr;
  QStringList readouts_;

 private slots:
  void init() {
    messages_ = new qv::testing::ScriptedMessages;
    doc_ = new qv::CQuorvanelDoc(nullptr);
    view_ = new qv::CQuorvanelView(*doc_, *doc_, nullptr);
    view_->resize(1100, 800);
    view_->show();
    view_->SetReadoutSink([this](const QString& horizontal, const QString& vertical) {
      readouts_.append(horizontal + "|" + vertical);
    });
    doc_->OnFileNew();
    readouts_.clear();
  }

  void cleanup() {
    delete view_;
    delete doc_;
    delete messages_;
  }

  void blankUntilCalculated() {
    const QImage page = view_->PageImage();
    QCOMPARE(page.size() / page.devicePixelRatio(), QSize(1024, 700));
    for (int y = 0; y < page.height(); y += 7) {
      for (int x = 0; x < page.width(); x += 7) {
        QCOMPARE(page.pixel(x, y), qRgb(255, 255, 255));
      }
    }
    view_->OnMouseMove(100, 250);
    QVERIFY(readouts_.isEmpty());  // nothing to read off
    QVERIFY(doc_->OnCalculate());
    QVERIFY(view_->PageImage() != page);
  }

  void crossFollowsAndRestores_data() {
    QTest::addColumn<int>("scroll");
    QTest::newRow("unscrolled") << 0;
    QTest::newRow("scrolled") << 40;
  }

  void crossFollowsAndRestores() {
    QFETCH(int, scroll);
    view_->resize(700, 500);  // smaller than the page: it scrolls
    QVERIFY(doc_->OnCalculate());
    QCOMPARE(readouts_, QStringList{"|"});  // a new page: nothing read off it yet
    readouts_.clear();
    view_->horizontalScrollBar()->setValue(scroll);
    view_->verticalScrollBar()->setValue(scroll);
    const QImage clean = view_->PageImage().copy();
    // Over the magnitude graph at column 64, high above the curve: the cross sits on it.
    view_->OnMouseMove(42 + 64 - scroll, 180 - scroll);
    QVERIFY(view_->HasCross());
    QCOMPARE(readouts_.size(), 1);
    QVERIFY(readouts_.constFirst().startsWith("125.000 Hz|"));
    const QImage marked = view_->PageImage().copy();
    int blue = 0;
    for (int y = 0; y < marked.height(); ++y) {
      for (int x = 0; x < marked.width(); ++x) {
        blue += marked.pixel(x, y) == kBlue ? 1 : 0;
      }
    }
    QCOMPARE(blue, 13);  // two arms of 7 pixels sharing their centre
    // Onto the phase graph, then out of every graph: the page is as it was.
    view_->OnMouseMove(382 + 10 - scroll, 300 - scroll);
    QVERIFY(view_->HasCross());
    view_->OnMouseMove(0, 0);  // the summary, above every graph
    QVERIFY(!view_->HasCross());
    QCOMPARE(readouts_.last(), QString("|"));
    QCOMPARE(view_->PageImage(), clean);
  }

  void windowModelsIgnoreTheZeroPolePlot() {
    qv::FilterSpec& spec = doc_->EditSpec();
    spec.filterClass = qv::FilterClass::Fir;
    spec.model = qv::FilterModel::Rectangle;
    QVERIFY(doc_->OnCalculate());
    readouts_.clear();
    view_->OnMouseMove(382 + 5, 500);  // impulse graph: a cross
    QVERIFY(view_->HasCross());
    const QImage marked = view_->PageImage().copy();
    view_->OnMouseMove(170, 555);  // zero-pole plot: nothing changes
    QCOMPARE(readouts_.size(), 1);
    QVERIFY(view_->HasCross());
    QCOMPARE(view_->PageImage(), marked);
  }

  // The preview draws the printed page: its curves are there in red.
  void printPreviewShowsThePage() {
    QVERIFY(doc_->OnCalculate());
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintPreviewDialog preview(&printer);
    view_->PreparePrintPreview(preview);
    // Most of the screen, the page across the whole width of the preview.
    const QSize screen = view_->screen()->availableGeometry().size();
    QVERIFY(preview.width() * 10 >= screen.width() * 8);
    QVERIFY(preview.height() * 10 >= screen.height() * 8);
    auto* pages = preview.findChild<QPrintPreviewWidget*>();
    QVERIFY(pages != nullptr);
    QCOMPARE(pages->zoomMode(), QPrintPreviewWidget::FitToWidth);
    preview.show();
    QVERIFY(QTest::qWaitForWindowExposed(&preview));
    QTest::qWait(200);
    const QImage shown = preview.grab().toImage();
    if (const QByteArray keep = qgetenv("QUORVANEL_KEEP_PREVIEW"); !keep.isEmpty()) {
      shown.save(QString::fromLocal8Bit(keep));
    }
    int red = 0;
    for (int y = 0; y < shown.height(); ++y) {
      for (int x = 0; x < shown.width(); ++x) {
        const QColor colour = shown.pixelColor(x, y);
        red += colour.red() > 200 && colour.green() < 120 && colour.blue() < 120 ? 1 : 0;
      }
    }
    QVERIFY2(red > 100, qPrintable(QString::number(red)));
  }

  void recalculatingDrawsAFreshPage() {
    QVERIFY(doc_->OnCalculate());
    view_->OnMouseMove(42 + 10, 200);
    QVERIFY(view_->HasCross());
    QVERIFY(doc_->OnCalculate());
    QVERIFY(!view_->HasCross());
    QCOMPARE(readouts_.last(), QString("|"));
  }

  // Leaving the page takes the cross off it and empties the texts, scrolled or not.
  void leavingTheViewClearsTheReadout_data() { crossFollowsAndRestores_data(); }

  void leavingTheViewClearsTheReadout() {
    QFETCH(int, scroll);
    view_->resize(700, 500);
    QVERIFY(doc_->OnCalculate());
    view_->horizontalScrollBar()->setValue(scroll);
    view_->verticalScrollBar()->setValue(scroll);
    const QImage clean = view_->PageImage().copy();
    view_->OnMouseMove(722 + 30 - scroll, 500 - scroll);  // the step response
    QVERIFY(view_->HasCross());
    QVERIFY(readouts_.last() != QString("|"));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(view_->viewport(), &leave);
    QVERIFY(!view_->HasCross());
    QCOMPARE(readouts_.last(), QString("|"));
    QCOMPARE(view_->PageImage(), clean);
  }
};

QTEST_MAIN(GraphViewTest)
#include "graph_view_test.moc"
