// Opening and closing a generated text file, with the writers' result codes.
#pragma once

#include <cstdio>
#include <string>

namespace qv {

// Opens `path` for writing in text mode with truncation ("w+"); nullptr when it cannot be
// created.
std::FILE* OpenOutputFile(const std::string& path);

// Closes `file` (flushing what is buffered). Returns kOutputOk, or kOutputNotClosed when the
// close or the flush fails.
int CloseOutputFile(std::FILE* file);

}  // namespace qv
