#include "codegen/output_file.h"

#include "codegen/output_codes.h"

namespace qv {

std::FILE* OpenOutputFile(const std::string& path) { return std::fopen(path.c_str(), "w+"); }

int CloseOutputFile(std::FILE* file) {
  return std::fclose(file) == 0 ? kOutputOk : kOutputNotClosed;
}

}  // namespace qv
