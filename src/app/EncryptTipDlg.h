#pragma once
// CEncryptTipDlg: the notice shown after files that need a password were listed. It tells
// the user how to unlock them and offers to stay quiet from now on.

#include <QDialog>

class QCheckBox;
class QPushButton;

class CEncryptTipDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CEncryptTipDlg(QWidget* parent = nullptr);

  // True when "Do not show this message next time." is ticked.
  bool IsDontShowChecked() const;

  QCheckBox* m_chkDontShow = nullptr;
  QPushButton* m_btnOk = nullptr;
};
