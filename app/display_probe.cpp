#include "app/display_probe.h"

#include <xcb/xcb.h>

#include <chrono>
#include <thread>

namespace qv {
namespace {

// A server that resets itself refuses connections for a moment; it is asked again this often,
// this far apart, before it counts as not answering.
constexpr int kAttempts = 20;
constexpr std::chrono::milliseconds kPause(50);

}  // namespace

XDisplayConnection::XDisplayConnection(const QString& display) {
  const QByteArray name = display.toLocal8Bit();
  for (int attempt = 1;; ++attempt) {
    connection_ = xcb_connect(name.isEmpty() ? nullptr : name.constData(), nullptr);
    if (Answers() || attempt == kAttempts) {
      return;
    }
    xcb_disconnect(connection_);
    std::this_thread::sleep_for(kPause);
  }
}

// A failed connection is still an object to release.
XDisplayConnection::~XDisplayConnection() { xcb_disconnect(connection_); }

bool XDisplayConnection::Answers() const { return xcb_connection_has_error(connection_) == 0; }

}  // namespace qv
