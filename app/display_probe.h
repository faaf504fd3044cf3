// Whether the X server of a display answers, asked before the application object exists:
// Qt's X platform aborts the program when its server does not answer.
#pragma once

#include <QString>

struct xcb_connection_t;

namespace qv {

// A connection to the X server of a display, made to ask whether it answers. Keep it until the
// application object has connected too: an X server left without any client resets itself
// (Xvfb under xvfb-run does), and a connection made during the reset fails, which Qt answers by
// aborting, or waits for the reset to end.
class XDisplayConnection {
 public:
  // Connects to the display `display` (":0", "host:1.0"); an empty name stands for the display
  // of the environment. A server in the middle of a reset (its last client has just left)
  // refuses for a moment, so a refusal is tried again for up to a second.
  explicit XDisplayConnection(const QString& display);
  ~XDisplayConnection();

  XDisplayConnection(const XDisplayConnection&) = delete;
  XDisplayConnection& operator=(const XDisplayConnection&) = delete;

  // True when the server accepted the connection.
  [[nodiscard]] bool Answers() const;

 private:
  xcb_connection_t* connection_;
};

}  // namespace qv
