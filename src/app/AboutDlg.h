#pragma once
// The About box: the program's picture, name and version. Made hidden with the main window
// and shown over it from the Help menu.

#include <QDialog>

class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(QWidget* parent = nullptr);
};
