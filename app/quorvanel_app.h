// Start-up of the desktop application: the command line, the display check, the settings
// store, the document with its main window, and the print switches that work without a window.
#pragma once

#include <QString>
#include <QStringList>

namespace qv {

// What the command line asks for. Arguments: nothing (a new design), a design file to open,
// `--print FILE.qvd` (print to the default printer, no dialog) or
// `--print-to-pdf FILE.qvd OUT.pdf` (write the printed page as a PDF).
struct CommandLine {
  enum class Action { New, Open, Print, PrintToPdf, Help, Invalid };
  Action action = Action::New;
  QString file;
  QString pdf;
  QString error;  // why the command line is invalid
};

// Takes the arguments after the program name.
CommandLine ParseCommandLine(const QStringList& arguments);

// Takes the environment's display variables; returns the one line to print when the
// application has no display to show its window on, or empty when it has one (a display,
// a Wayland display or a platform chosen with QT_QPA_PLATFORM).
QString MissingDisplayMessage(const QString& display, const QString& waylandDisplay,
                              const QString& platform);

// Takes the environment's Wayland display and platform variables; returns true when Qt takes
// the X display (no platform chosen and no Wayland session, or the platform "xcb").
bool UsesXDisplay(const QString& waylandDisplay, const QString& platform);

// Takes the environment's X display and whether its server answered; returns the one line to
// print when it does not answer (Qt would abort), or empty when it answers.
QString UnreachableDisplayMessage(const QString& display, bool answers);

// Runs the application; returns the process's exit status.
int RunQuorvanel(int argc, char** argv);

}  // namespace qv
