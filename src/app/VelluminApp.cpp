#include "app/VelluminApp.h"

#include <QFont>
#include <QStyleFactory>

#include "app/Skin.h"
#include "app/VelluminDlg.h"

CVelluminApp::CVelluminApp(int& argc, char** argv) : m_app(argc, argv) {
  QApplication::setApplicationName(QStringLiteral("Pagevane"));
  QApplication::setOrganizationName(QStringLiteral("Tessaly"));
  QApplication::setApplicationVersion(QStringLiteral(PAGEVANE_VERSION));
  SetUpLook(m_app);
}

void CVelluminApp::SetUpLook(QApplication& app) {
  // Fusion draws the same on every desktop; the style sheet then gives it our skin.
  if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) app.setStyle(fusion);
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(13);
  app.setFont(font);
  app.setWindowIcon(QIcon(skin::AppPixmap(64)));
}

int CVelluminApp::Run() {
  CVelluminDlg dialog;
  dialog.exec();
  return 0;
}
