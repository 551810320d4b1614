#include "app/EncryptTipDlg.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CEncryptTipDlg::CEncryptTipDlg(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("CEncryptTipDlg"));
  setWindowTitle(QStringLiteral("Notice"));
  setModal(true);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(20, 18, 20, 14);
  layout->setSpacing(4);
  for (const char* line : {"You have imported open-password restricted PDF files,",
                           "please click the lock icon and enter the correct password ", "to continue."})
    layout->addWidget(new QLabel(QString::fromLatin1(line), this));
  layout->addSpacing(12);

  m_chkDontShow = new QCheckBox(QStringLiteral("Do not show this message next time."), this);
  m_chkDontShow->setObjectName(QStringLiteral("m_chkDontShow"));
  layout->addWidget(m_chkDontShow);

  m_btnOk = new QPushButton(QStringLiteral("OK"), this);
  m_btnOk->setObjectName(QStringLiteral("m_btnOk"));
  m_btnOk->setDefault(true);
  layout->addWidget(m_btnOk, 0, Qt::AlignRight);
  connect(m_btnOk, &QPushButton::clicked, this, &QDialog::accept);
}

bool CEncryptTipDlg::IsDontShowChecked() const { return m_chkDontShow->isChecked(); }
