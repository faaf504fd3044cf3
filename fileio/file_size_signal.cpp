#include "fileio/file_size_signal.h"

#include <csignal>

namespace qv {

bool IgnoreFileSizeSignal() { return std::signal(SIGXFSZ, SIG_IGN) != SIG_ERR; }

}  // namespace qv
