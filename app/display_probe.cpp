#include "app/display_probe.h"

#include <xcb/xcb.h>

namespace qv {

bool XDisplayAnswers(const QString& display) {
  const QByteArray name = display.toLocal8Bit();
  // A failed connection is still an object to release; its error state says it failed.
  xcb_connection_t* connection = xcb_connect(name.isEmpty() ? nullptr : name.constData(), nullptr);
  const bool answers = xcb_connection_has_error(connection) == 0;
  xcb_disconnect(connection);
  return answers;
}

}  // namespace qv
