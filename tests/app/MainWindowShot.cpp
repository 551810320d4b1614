// Renders the main window into a PNG, for the documentation:
//   pagevane-screenshot <output.png> [main|batch|preview]
// main: three listed files; batch: the window after a finished batch (one file skipped for
// its password); preview: a page in the preview pane. Runs on any Qt platform (offscreen
// included); the files are made and converted in temporary folders.

#include <QApplication>
#include <QLineEdit>
#include <QPixmap>
#include <QTest>
#include <cstdio>
#include <cstring>

#include "AppTestSupport.h"
#include "app/ListCtrlEx.h"
#include "app/VelluminApp.h"
#include "app/VelluminDlg.h"
#include "app/preview/PreviewPane.h"

namespace {

// A report page: a title, a coloured rule, a few paragraphs and a box.
fixtures::PageSpec ReportPage(int number) {
  fixtures::PageSpec page;
  fixtures::TextRun title{72, 96, "Quarterly Review", "Helvetica-Bold", 28};
  title.m_adColor[0] = 0.13;
  title.m_adColor[1] = 0.30;
  title.m_adColor[2] = 0.55;
  page.m_vecTexts.push_back(title);
  page.m_vecTexts.push_back({72, 124, "Third quarter, page " + std::to_string(number), "Helvetica-Oblique", 14});
  const char* lines[] = {
      "Revenue grew in every region, led by the northern stores,",
      "while costs stayed close to the plan agreed in spring.",
      "The new catalogue reached forty thousand customers and the",
      "online shop now carries the whole range of products.",
      "",
      "Next steps: open two more stores, hire a second buyer and",
      "move the warehouse to the site near the ring road.",
  };
  double y = 190;
  for (const char* line : lines) {
    if (*line) page.m_vecTexts.push_back({72, y, line, "Times-Roman", 14});
    y += 20;
  }
  page.m_vecExtras.push_back([](fz_context* ctx, pdf_document*, pdf_obj*, fz_buffer* content) {
    fz_append_string(ctx, content,
                     "q 0.13 0.46 0.80 rg 72 700 451 4 re f "
                     "0.13 0.46 0.80 RG 1.5 w 72 380 451 70 re S "
                     "0.85 0.35 0.20 rg 90 395 160 10 re f 0.20 0.60 0.35 rg 90 410 128 10 re f Q\n");
  });
  page.m_vecTexts.push_back({90, 412, "Sales by region: north 41 %, south 33 %, west 26 %", "Helvetica", 13});
  return page;
}

}  // namespace

int main(int argc, char** argv) {
  const char* mode = argc == 3 ? argv[2] : "main";
  if ((argc != 2 && argc != 3) ||
      (std::strcmp(mode, "main") && std::strcmp(mode, "batch") && std::strcmp(mode, "preview"))) {
    std::fprintf(stderr, "usage: %s <output.png> [main|batch|preview]\n", argv[0]);
    return 2;
  }
  app_test::KeepUpdateOffline();
  QApplication app(argc, argv);
  CVelluminApp::SetUpLook(app);
  app_test::ModalDriver modals;  // answers the notice about the locked file
  testing_support::TempDir program;
  testing_support::TempDir documents;
  testing_support::TempDir files;
  testing_support::TempDir out;
  app_test::CopyResources(program);

  fixtures::DocSpec report;
  for (int i = 1; i <= 12; ++i) report.m_vecPages.push_back(ReportPage(i));
  fixtures::WritePdf(files / "Quarterly Review.pdf", report);
  QStringList paths = {
      app_test::ToQt(files / "Quarterly Review.pdf"),
      app_test::WritePdf(files, "Product Brochure.pdf", 4),
      app_test::WritePdf(files, "Board Minutes (signed).pdf", 3, "minutes"),
  };
  if (!std::strcmp(mode, "batch")) paths << app_test::WritePdf(files, "Annual Report 2012 final.pdf", 2);

  CVelluminDlg dialog(app_test::ToQt(program.Path()), app_test::ToQt(documents.Path()));
  dialog.m_editOutputDir->setText(app_test::ToQt(out.Path()));
  dialog.AddFiles(paths, false);
  dialog.show();
  (void)QTest::qWaitForWindowExposed(&dialog);

  if (!std::strcmp(mode, "batch")) {
    // The brochure as text, the rest as presentations.
    dialog.m_listFiles->SelectRowAlone(1);
    dialog.OnListItemEvent(1, 3);
    dialog.m_cboFormat->setCurrentIndex(1);
    dialog.OnFormatChanged(1);
    dialog.OnBtnConvert();
    if (!QTest::qWaitFor([&dialog] { return !dialog.IsConverting(); }, 300000)) {
      std::fprintf(stderr, "the batch did not finish\n");
      return 1;
    }
    dialog.m_listFiles->SelectRowAlone(0);
    dialog.OnListItemEvent(0, 3);
  }
  if (!std::strcmp(mode, "preview")) dialog.m_wndPreview->GoToPage(2);
  dialog.m_editOutputDir->setText(QStringLiteral("/home/user/Documents/Tessaly Pagevane"));
  QApplication::processEvents();
  if (!dialog.grab().save(QString::fromLocal8Bit(argv[1]))) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
