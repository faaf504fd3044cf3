// Writes beyond the process's file-size limit (ulimit -f). By default the system ends the
// program with SIGXFSZ in the middle of the write: no message, unsaved work lost, a temporary
// file left behind. Ignored, the write fails with EFBIG and takes the ordinary path of a
// failed output (the message, the previous file kept, the temporary file removed).
#pragma once

namespace qv {

// Call once at start-up, before anything is written; returns false if the signal could not be
// set to be ignored.
bool IgnoreFileSizeSignal();

}  // namespace qv
