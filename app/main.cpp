#include "app/quorvanel_app.h"
#include "fileio/file_size_signal.h"

int main(int argc, char** argv) {
  qv::IgnoreFileSizeSignal();
  return qv::RunQuorvanel(argc, argv);
}
