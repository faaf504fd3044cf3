#include "app/display_probe.h"

#include <xcb/xcb.h>

namespace qv {

XDisplayConnection::XDisplayConnection(const QString& display) {
  const QByteArray name = display.toLocal8Bit();
  connection_ = xcb_connect(name.isEmpty() ? nullptr : name.constData(), nullptr);
}

// A failed connection is still an object to release.
XDisplayConnection::~XDisplayConnection() { xcb_disconnect(connection_); }

bool XDisplayConnection::Answers() const { return xcb_connection_has_error(connection_) == 0; }

}  // namespace qv
