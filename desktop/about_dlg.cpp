#include "desktop/about_dlg.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

#include "framework/dialog_units.h"
#include "framework/utf8_text.h"
#include "records/identification.h"

namespace qv {
namespace {

constexpr int kTemplateWidth = 217;
constexpr int kTemplateHeight = 100;
constexpr int kIconX = 11;
constexpr int kIconY = 17;
constexpr int kIconPixels = 32;
constexpr int kTextX = 40;
constexpr int kTextWidth = 170;
constexpr int kLineHeight = 8;
constexpr int kProductY = 10;
constexpr int kProductWidth = 156;
constexpr int kCreditY = 24;
constexpr int kWebY = 44;
constexpr int kMailY = 56;
constexpr int kOkX = 93;
constexpr int kOkY = 77;
constexpr int kOkWidth = 32;
constexpr int kOkHeight = 14;

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("About Quorvanel"));
  setFont(TemplateFont());
  const DialogUnits units(font());
  setFixedSize(units.ToPixelsX(kTemplateWidth), units.ToPixelsY(kTemplateHeight));

  auto* icon = new QLabel(this);
  icon->setPixmap(QApplication::windowIcon().pixmap(kIconPixels, kIconPixels));
  icon->move(units.ToPixelsX(kIconX), units.ToPixelsY(kIconY));
  icon->resize(kIconPixels, kIconPixels);

  auto line = [this, &units](const QString& text, int y, int width) {
    auto* label = new QLabel(text, this);
    label->setGeometry(units.ToPixels(kTextX, y, width, kLineHeight));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  };
  line(QStringLiteral("Quorvanel Ver %1, digital filter design").arg(FromUtf8View(kVersionText)),
       kProductY, kProductWidth);
  line(QStringLiteral("IIR and FIR filters, C and VHDL code, graphs"), kCreditY, kTextWidth);
  line(FromUtf8View(kWebSite), kWebY, kTextWidth);
  line(FromUtf8View(kContactEmail), kMailY, kTextWidth);

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setDefault(true);
  ok->setGeometry(units.ToPixels(kOkX, kOkY, kOkWidth, kOkHeight));
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace qv
