// The yardstick of scripts/measure-startup: a bare Qt main window with a menu bar and a status
// bar, shown at the size of the application's first window. The start-up of Quorvanel is
// measured against this one on the same display.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>

namespace {

constexpr int kWidth = 1240;
constexpr int kHeight = 743;

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QMainWindow window;
  window.setWindowTitle(QStringLiteral("Bare Qt - Quorvanel"));
  window.menuBar()->addMenu(QStringLiteral("&File"));
  window.statusBar()->showMessage(QStringLiteral("Ready"));
  window.resize(kWidth, kHeight);
  window.show();
  return QApplication::exec();
}
