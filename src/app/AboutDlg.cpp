#include "app/AboutDlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/Skin.h"

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("About Tessaly Pagevane"));
  setModal(false);
  auto* picture = new QLabel(this);
  picture->setPixmap(skin::AppPixmap(64));
  picture->setAlignment(Qt::AlignTop);
  auto* text = new QLabel(this);
  text->setText(QStringLiteral("<b style='font-size:16px'>Tessaly Pagevane</b><br>Version %1<br><br>"
                               "Converts PDF files into PowerPoint presentations<br>and plain text files.")
                    .arg(QStringLiteral(PAGEVANE_VERSION)));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  auto* row = new QHBoxLayout;
  row->addWidget(picture);
  row->addSpacing(12);
  row->addWidget(text, 1);
  auto* column = new QVBoxLayout(this);
  column->addLayout(row);
  column->addWidget(buttons);
  setStyleSheet(QStringLiteral("QDialog { background: #f4f4f4; } QLabel { font-family: Arial; font-size: 13px; }"));
}
