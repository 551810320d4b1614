#pragma once
// CInputPasswordDlg: asks for the password of a listed file. The text is masked and holds
// at most 259 characters; the caller checks it against the document.

#include <QDialog>

class QLineEdit;
class QPushButton;

class CInputPasswordDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kMaxLength = 259;

  explicit CInputPasswordDlg(QWidget* parent = nullptr);

  // The text of the edit.
  QString Password() const;

  QLineEdit* m_editPassword = nullptr;
  QPushButton* m_btnOk = nullptr;
  QPushButton* m_btnCancel = nullptr;
};
