#include "app/quorvanel_app.h"

#include <QApplication>
#include <QBuffer>
#include <QCommandLineParser>
#include <QFile>
#include <QFont>
#include <QIcon>
#include <QMenuBar>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <cstdio>
#include <string>

#include "app/display_probe.h"
#include "codegen/output_codes.h"
#include "desktop/parameter_dlg.h"
#include "desktop/quorvanel_doc.h"
#include "desktop/splitter_frame.h"
#include "fileio/output_file.h"
#include "framework/file_name.h"
#include "framework/message_service.h"
#include "framework/utf8_text.h"
#include "records/identification.h"
#include "view/graph_page_layout.h"
#include "view/quorvanel_view.h"

namespace qv {
namespace {

const QString kCompanyKey = QStringLiteral("Local AppWizard-Generated Applications");
const QString kGeometryKey = QStringLiteral("Settings/WindowGeometry");
const QString kIconResource = QStringLiteral(":/quorvanel/quorvanel.svg");

constexpr int kExitSuccess = 0;
constexpr int kExitNoDisplay = 1;
constexpr int kExitUsage = 1;
constexpr int kExitRefused = 2;
using page::kPageHeight;
using page::kPageWidth;
constexpr qreal kPdfMarginMm = 10.0;

const char* const kUsage =
    "Usage: quorvanel [FILE.qvd]\n"
    "       quorvanel --print FILE.qvd\n"
    "       quorvanel --print-to-pdf FILE.qvd OUT.pdf\n";

// Without a window every message goes to standard error; remembers that one was shown.
class StderrMessageService final : public MessageService {
 public:
  MessageAnswer Show(QWidget*, const QString& text, MessageIcon, MessageButtons) override {
    // A file name in the text keeps its bytes, as the system has them.
    std::string line = FileNameBytes(text);
    if (!line.ends_with('\n')) {
      line += '\n';
    }
    std::fputs(line.c_str(), stderr);
    shown_ = true;
    return MessageAnswer::No;
  }
  [[nodiscard]] bool Shown() const { return shown_; }

 private:
  bool shown_ = false;
};

void ReportToStderr(const std::string& message) {
  StderrMessageService().Show(nullptr, FromUtf8View(message), MessageIcon::Stop,
                              MessageButtons::Ok);
}

// Opens and calculates `file` for printing; false (with the message shown) when there is no
// calculated design to print.
bool LoadForPrinting(CQuorvanelDoc& document, const QString& file, StderrMessageService& messages) {
  if (!document.OpenDocumentFile(file) || !document.IsCalculated()) {
    if (!messages.Shown()) {
      ReportToStderr(OutputMessage(OutputCode::NotCalculated));
    }
    return false;
  }
  return true;
}

// Writes the printed page as a PDF file at `path`; returns the exit status. The page is drawn
// into memory and then written like every other output (replaced whole or not at all; a pipe
// such as /dev/stdout or a device node written straight through).
int WritePdf(CQuorvanelView& view, const QString& path) {
  OutputFile pdf(FileNameBytes(path));
  if (!pdf.IsOpen()) {
    ReportToStderr(OutputMessage(OutputCode::NotCreated));
    return kExitRefused;
  }
  QBuffer page;
  page.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&page);
    // The page is 10.24 x 7 inches: it fits across a landscape sheet.
    writer.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                    QMarginsF(kPdfMarginMm, kPdfMarginMm, kPdfMarginMm, kPdfMarginMm),
                    QPageLayout::Millimeter));
    writer.setTitle(QStringLiteral("Digital Filter Graphics"));
    writer.setCreator(FromUtf8View(kProductName));
    view.PrintPage(writer);
  }
  const QByteArray& bytes = page.data();
  pdf.Stream().write(bytes.constData(), static_cast<std::streamsize>(bytes.size()));
  if (!pdf.Commit()) {
    ReportToStderr(OutputMessage(OutputCode::NotClosed));
    return kExitRefused;
  }
  return kExitSuccess;
}

int PrintWithoutWindow(const CommandLine& command) {
  StderrMessageService messages;
  InstallMessageService(&messages);
  CQuorvanelDoc document(nullptr);
  CQuorvanelView view(document, document, nullptr);
  int status = kExitRefused;
  if (LoadForPrinting(document, command.file, messages)) {
    if (command.action == CommandLine::Action::PrintToPdf) {
      status = WritePdf(view, command.pdf);
    } else if (QPrinterInfo::defaultPrinter().isNull()) {
      ReportToStderr("No printer is installed.");
    } else {
      QPrinter printer(QPrinter::HighResolution);
      view.PrintPage(printer);
      status = kExitSuccess;
    }
  }
  InstallMessageService(nullptr);
  return status;
}

// The first size shows the form and the whole page, as far as the screen allows.
void SetFirstSize(CSplitterFrame& frame) {
  const int frameWidth = frame.GraphView()->frameWidth() * 2;
  const QSize wanted(frame.FormPaneWidth() + frame.SplitterHandleWidth() + kPageWidth + frameWidth,
                     frame.menuBar()->sizeHint().height() + kPageHeight + frameWidth +
                         frame.statusBar()->sizeHint().height());
  QSize size = wanted;
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    size = size.boundedTo(screen->availableGeometry().size());
  }
  frame.resize(size);
}

int RunDesktop(const CommandLine& command) {
  CQuorvanelDoc document(nullptr);
  CSplitterFrame frame(document);
  QSettings settings;
  if (!frame.restoreGeometry(settings.value(kGeometryKey).toByteArray())) {
    SetFirstSize(frame);
  }
  frame.show();
  document.UpdateAllViews();
  if (command.action == CommandLine::Action::Open) {
    // A file that cannot be opened has shown its message; the program goes on with a new
    // design, as a desktop user expects.
    document.OpenDocumentFile(command.file);
  }
  QObject::connect(qApp, &QApplication::aboutToQuit, &frame,
                   [&frame] { QSettings().setValue(kGeometryKey, frame.saveGeometry()); });
  return QApplication::exec();
}

}  // namespace

CommandLine ParseCommandLine(const QStringList& arguments) {
  QCommandLineParser parser;
  const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
  const QCommandLineOption print(QStringLiteral("print"));
  const QCommandLineOption printToPdf(QStringLiteral("print-to-pdf"));
  parser.addOptions({help, print, printToPdf});
  CommandLine command;
  // The parser takes the program name first; "--" ends the options for a file named "-x".
  if (!parser.parse(QStringList{QStringLiteral("quorvanel")} + arguments)) {
    command.action = CommandLine::Action::Invalid;
    command.error = QStringLiteral("quorvanel: ") + parser.errorText();
    return command;
  }
  const QStringList files = parser.positionalArguments();
  if (parser.isSet(help)) {
    command.action = CommandLine::Action::Help;
  } else if (parser.isSet(print) && !parser.isSet(printToPdf) && files.size() == 1) {
    command.action = CommandLine::Action::Print;
    command.file = files[0];
  } else if (parser.isSet(printToPdf) && !parser.isSet(print) && files.size() == 2) {
    command.action = CommandLine::Action::PrintToPdf;
    command.file = files[0];
    command.pdf = files[1];
  } else if (parser.isSet(printToPdf) && !parser.isSet(print) && files.size() < 2) {
    command.action = CommandLine::Action::Invalid;
    command.error =
        files.isEmpty()
            ? QStringLiteral(
                  "quorvanel: --print-to-pdf needs the design file and "
                  "the output PDF")
            : QStringLiteral("quorvanel: the output PDF is missing after %1").arg(files[0]);
  } else if (parser.isSet(print) && !parser.isSet(printToPdf) && files.isEmpty()) {
    command.action = CommandLine::Action::Invalid;
    command.error = QStringLiteral("quorvanel: --print needs the design file to print");
  } else if (!parser.isSet(print) && !parser.isSet(printToPdf) && files.size() <= 1) {
    command.action = files.isEmpty() ? CommandLine::Action::New : CommandLine::Action::Open;
    command.file = files.value(0);
  } else {
    command.action = CommandLine::Action::Invalid;
    command.error = QStringLiteral("quorvanel: unexpected arguments");
  }
  return command;
}

QString MissingDisplayMessage(const QString& display, const QString& waylandDisplay,
                              const QString& platform) {
  if (!display.isEmpty() || !waylandDisplay.isEmpty() || !platform.isEmpty()) {
    return {};
  }
  return QStringLiteral(
      "quorvanel: no display to show the window on (DISPLAY and WAYLAND_DISPLAY are not set); "
      "start it in a desktop session, under xvfb-run, or use quorvanel-cli");
}

QString UnreachableDisplayMessage(const QString& display, const QString& waylandDisplay,
                                  const QString& platform) {
  // Qt takes the X display unless a platform is chosen or a Wayland session is at hand.
  const bool usesX =
      platform.isEmpty() ? waylandDisplay.isEmpty() : platform.startsWith(QStringLiteral("xcb"));
  if (!usesX || XDisplayAnswers(display)) {
    return {};
  }
  const QString named = display.isEmpty() ? QStringLiteral("(DISPLAY is not set)")
                                          : QStringLiteral("\"%1\"").arg(display);
  return QStringLiteral(
             "quorvanel: cannot connect to the display %1; check that its X server is running, "
             "or start quorvanel in a desktop session, under xvfb-run, or use quorvanel-cli")
      .arg(named);
}

int RunQuorvanel(int argc, char** argv) {
  QStringList arguments;
  for (int i = 1; i < argc; ++i) {
    // Paths keep every byte; options are plain ASCII.
    arguments.append(FileNameFromBytes(argv[i]));
  }
  const CommandLine command = ParseCommandLine(arguments);
  if (command.action == CommandLine::Action::Help ||
      command.action == CommandLine::Action::Invalid) {
    if (!command.error.isEmpty()) {
      std::fprintf(stderr, "%s\n", FileNameBytes(command.error).c_str());
    }
    std::fputs(kUsage, command.action == CommandLine::Action::Help ? stdout : stderr);
    return command.action == CommandLine::Action::Help ? kExitSuccess : kExitUsage;
  }
  const bool printing = command.action == CommandLine::Action::Print ||
                        command.action == CommandLine::Action::PrintToPdf;
  const QString display = qEnvironmentVariable("DISPLAY");
  const QString waylandDisplay = qEnvironmentVariable("WAYLAND_DISPLAY");
  const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
  QString noDisplay = MissingDisplayMessage(display, waylandDisplay, platform);
  if (noDisplay.isEmpty()) {
    noDisplay = UnreachableDisplayMessage(display, waylandDisplay, platform);
  }
  if (!noDisplay.isEmpty()) {
    if (!printing) {
      std::fprintf(stderr, "%s\n", qPrintable(noDisplay));
      return kExitNoDisplay;
    }
    // Printing draws no window: the offscreen platform is enough.
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }

  QApplication application(argc, argv);
  QApplication::setOrganizationName(kCompanyKey);
  // No display name of its own: Qt on X11 would append it to every dialog's caption. The
  // application name stands in for it where one is asked for (message box titles).
  QApplication::setApplicationName(FromUtf8View(kProductName));
  QApplication::setWindowIcon(QIcon(kIconResource));
  QApplication::setDesktopFileName(QStringLiteral("quorvanel"));
  if (printing) {
    return PrintWithoutWindow(command);
  }
  return RunDesktop(command);
}

}  // namespace qv
