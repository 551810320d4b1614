#include "app/InputPasswordDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CInputPasswordDlg::CInputPasswordDlg(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("CInputPasswordDlg"));
  setWindowTitle(QStringLiteral("Input Password"));
  setModal(true);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(18, 16, 18, 14);
  auto* row = new QHBoxLayout;
  row->addWidget(new QLabel(QStringLiteral("Password:"), this));
  m_editPassword = new QLineEdit(this);
  m_editPassword->setObjectName(QStringLiteral("m_editPassword"));
  m_editPassword->setEchoMode(QLineEdit::Password);
  m_editPassword->setMaxLength(kMaxLength);
  m_editPassword->setMinimumWidth(220);
  row->addWidget(m_editPassword);
  layout->addLayout(row);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  m_btnOk = new QPushButton(QStringLiteral("OK"), this);
  m_btnOk->setObjectName(QStringLiteral("m_btnOk"));
  m_btnOk->setDefault(true);
  m_btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
  m_btnCancel->setObjectName(QStringLiteral("m_btnCancel"));
  buttons->addWidget(m_btnOk);
  buttons->addWidget(m_btnCancel);
  layout->addLayout(buttons);
  connect(m_btnOk, &QPushButton::clicked, this, &QDialog::accept);
  connect(m_btnCancel, &QPushButton::clicked, this, &QDialog::reject);
  m_editPassword->setFocus();
}

QString CInputPasswordDlg::Password() const { return m_editPassword->text(); }
