// "About Quorvanel": the icon, the product with its version, credits and contact addresses.
#pragma once

#include <QDialog>

namespace qv {

class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace qv
