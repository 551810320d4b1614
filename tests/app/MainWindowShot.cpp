// Renders the main window with three listed files into a PNG, for the documentation:
//   pagevane-screenshot <output.png>
// Runs on any Qt platform (offscreen included); the files are made in a temporary folder.

#include <QApplication>
#include <QLineEdit>
#include <QPixmap>
#include <cstdio>

#include "AppTestSupport.h"
#include "app/ListCtrlEx.h"
#include "app/VelluminApp.h"
#include "app/VelluminDlg.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output.png>\n", argv[0]);
    return 2;
  }
  QApplication app(argc, argv);
  CVelluminApp::SetUpLook(app);
  testing_support::TempDir program;
  testing_support::TempDir documents;
  testing_support::TempDir files;
  const QStringList paths = {
      app_test::WritePdf(files, "Quarterly Review.pdf", 12),
      app_test::WritePdf(files, "Product Brochure.pdf", 4),
      app_test::WritePdf(files, "Board Minutes (signed).pdf", 3, "minutes"),
  };
  CVelluminDlg dialog(app_test::ToQt(program.Path()), app_test::ToQt(documents.Path()));
  dialog.m_editOutputDir->setText(QStringLiteral("/home/user/Documents/Tessaly Pagevane"));
  dialog.AddFiles(paths, false);
  dialog.show();
  QApplication::processEvents();
  if (!dialog.grab().save(QString::fromLocal8Bit(argv[1]))) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
