// Whether the X server of a display answers, asked before the application object exists:
// Qt's X platform aborts the program when its server does not answer.
#pragma once

#include <QString>

namespace qv {

// Takes an X display name (":0", "host:1.0"); returns true when a server accepts a connection
// there. An empty name stands for the display of the environment.
bool XDisplayAnswers(const QString& display);

}  // namespace qv
