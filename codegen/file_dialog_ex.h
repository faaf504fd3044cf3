// The save dialog of the output commands.
#pragma once

#include "framework/file_dialog.h"

namespace qv {

class CFileDialogEx : public CFileDialog {
 public:
  using CFileDialog::CFileDialog;
};

}  // namespace qv
