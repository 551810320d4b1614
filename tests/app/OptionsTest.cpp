// Output kind, page range and output folder, and files that need a password: the range
// edit as the user types and leaves it, the jobs' pages, the format box and "Apply to All"
// after a conversion, Browse and Open, the notice about locked files and password entry.

#include <QComboBox>
#include <QDesktopServices>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QUrl>
#include <QtTest>

#include "AppTestSupport.h"
#include "app/FileItem.h"
#include "app/VelluminApp.h"
#include "app/preview/PreviewPane.h"
#include "settings/ConfigFile.h"

using app_test::AppWindow;
using app_test::ToQt;
using app_test::UrlRecorder;
using testing_support::TempDir;

namespace {

// The numbers of the "Page N" lines of a text output, in order: the PDF pages it holds.
std::vector<int> PagesInTextOutput(const std::filesystem::path& path) {
  QFile file(ToQt(path));
  if (!file.open(QIODevice::ReadOnly)) return {};
  std::vector<int> pages;
  static const QRegularExpression line(QStringLiteral("^Page (\\d+)\\s*$"), QRegularExpression::MultilineOption);
  auto it = line.globalMatch(QString::fromUtf8(file.readAll()).remove(QLatin1Char('\r')));
  while (it.hasNext()) pages.push_back(it.next().captured(1).toInt());
  return pages;
}

const char* const kInvalidRangeText =
    "Page range is invalid, please try again (e.g. 1,3-5,\n19 comma between numbers, no space),\n"
    "or click cancel to set for all pages";

}  // namespace

class OptionsTest : public QObject {
  Q_OBJECT

 private slots:
  void rangeIsCheckedAsTheUserTypes();
  void rangesGiveTheJobsTheirPages();
  void leavingAnInvalidRangeAsksOkOrCancel();
  void typedRangeCountsBeforeTheFocusLeaves();
  void formatBoxAndApplyToAllAfterAConversion();
  void browseStoresTheFolderAndOpenChecksIt();
  void noticeShownOnceAndNeverAgainOnceTicked();
  void wrongThenRightPassword();
};

void OptionsTest::rangeIsCheckedAsTheUserTypes() {
  AppWindow w;
  w.m_dialog.AddFiles({app_test::WritePdf(w.m_files, "twenty.pdf", 20)}, false);
  const struct {
    const char* m_pszText;
    bool m_bValid;
  } cases[] = {
      {"1,3-5,19", true}, {"20", true},     {"all pages", true}, {"ALL Pages", true}, {"1-20", true},
      {"3-1", false},     {"2,2", false},   {"0", false},        {"1,,2", false},     {"5-", false},
      {"4-5-6", false},   {"1, 3", false},  {"21", false},       {"1-21", false},     {"a", false},
  };
  for (const auto& c : cases) {
    w.m_dialog.m_editRange->clear();
    w.m_dialog.m_radAllPages->setChecked(true);
    QTest::keyClicks(w.m_dialog.m_editRange, QString::fromLatin1(c.m_pszText));
    QVERIFY2(w.m_dialog.m_lblInvalid->isVisible() == !c.m_bValid, c.m_pszText);
    // Any typed text selects the range button.
    QVERIFY2(w.m_dialog.m_radPageRange->isChecked() && !w.m_dialog.m_radAllPages->isChecked(), c.m_pszText);
  }
  // While "Invalid" shows the first button cannot be reached; with a valid range it empties
  // the edit and gives the row all pages again.
  QTest::mouseClick(w.m_dialog.m_radAllPages, Qt::LeftButton);
  QVERIFY(!w.m_dialog.m_radAllPages->isChecked());
  w.m_dialog.m_editRange->clear();
  QTest::keyClicks(w.m_dialog.m_editRange, QStringLiteral("2-3"));
  QTest::mouseClick(w.m_dialog.m_radAllPages, Qt::LeftButton);
  QVERIFY(w.m_dialog.m_radAllPages->isChecked());
  QVERIFY(w.m_dialog.m_editRange->text().isEmpty());
  QVERIFY(!w.m_dialog.m_lblInvalid->isVisible());
  QCOMPARE(w.m_dialog.FileItems().Find(1)->m_strPageRange, std::wstring(L"All Pages"));
  QCOMPARE(w.Cell(0, CListCtrlEx::COL_PAGES), QStringLiteral("20"));
}

void OptionsTest::rangesGiveTheJobsTheirPages() {
  AppWindow w;
  const QString six = app_test::WritePdf(w.m_files, "six.pdf", 6);
  const struct {
    const char* m_pszRange;
    std::vector<int> m_vecPages;
    const char* m_pszPagesCell;
  } cases[] = {
      {"1,3-5", {1, 3, 4, 5}, "Part"},
      {"2-4", {2, 3, 4}, "Part"},
      {"6", {6}, "Part"},
      {"all pages", {1, 2, 3, 4, 5, 6}, "6"},
      {"", {1, 2, 3, 4, 5, 6}, "6"},
  };
  const int count = static_cast<int>(std::size(cases));
  for (int i = 0; i < count; ++i) w.m_dialog.AddFiles({six}, false);
  w.List().SelectRowAlone(0);
  w.m_dialog.OnListItemEvent(0, 3);
  w.ChooseFormat(1);
  QTest::mouseClick(w.m_dialog.m_btnApplyAll, Qt::LeftButton);

  for (int i = 0; i < count; ++i) {
    w.ClickCell(i, CListCtrlEx::COL_NAME);
    QCOMPARE(w.m_dialog.PreviewIndex(), i + 1);
    w.m_dialog.m_editRange->setFocus();
    QTRY_VERIFY(w.m_dialog.m_editRange->hasFocus());
    QTest::keyClicks(w.m_dialog.m_editRange, QString::fromLatin1(cases[i].m_pszRange));
    w.List().setFocus();  // leaving the edit hands the text to the item
    QTRY_VERIFY(w.List().hasFocus());
    QCOMPARE(w.Cell(i, CListCtrlEx::COL_PAGES), QString::fromLatin1(cases[i].m_pszPagesCell));
  }
  // Shown again, an item offers the text it was given: "all pages" stays as typed.
  w.ClickCell(3, CListCtrlEx::COL_NAME);
  QCOMPARE(w.m_dialog.m_editRange->text(), QStringLiteral("all pages"));
  QVERIFY(w.m_dialog.m_radPageRange->isChecked());
  w.ClickCell(4, CListCtrlEx::COL_NAME);
  QCOMPARE(w.m_dialog.FileItems().Find(5)->m_strPageRange, std::wstring(L"All Pages"));
  QVERIFY(w.m_dialog.m_editRange->text().isEmpty());
  QVERIFY(w.m_dialog.m_radAllPages->isChecked());

  QVERIFY(w.Convert());
  const char* outputs[] = {"six.txt", "six(1).txt", "six(2).txt", "six(3).txt", "six(4).txt"};
  for (int i = 0; i < count; ++i) {
    QCOMPARE(w.Cell(i, CListCtrlEx::COL_STATUS), QString::fromLatin1(outputs[i]));
    QCOMPARE(PagesInTextOutput(w.Out(outputs[i])), cases[i].m_vecPages);
  }
}

void OptionsTest::leavingAnInvalidRangeAsksOkOrCancel() {
  AppWindow w;
  app_test::MessageBoxRecorder boxes;
  w.m_dialog.AddFiles({app_test::WritePdf(w.m_files, "three.pdf", 3)}, false);
  const CFileItem* item = w.m_dialog.FileItems().Find(1);

  w.m_dialog.m_editRange->setFocus();
  QTRY_VERIFY(w.m_dialog.m_editRange->hasFocus());
  QTest::keyClicks(w.m_dialog.m_editRange, QStringLiteral("3-1"));
  QVERIFY(w.m_dialog.m_lblInvalid->isVisible());

  // OK: a press elsewhere is swallowed, the box asks, and the edit gets the focus back with
  // its text.
  int added = 0;
  appdlg::SetOpenFilesHook([&added] {
    ++added;
    return QStringList{};
  });
  boxes.m_nAnswer = QMessageBox::Ok;
  QTest::mouseClick(w.m_dialog.m_btnAdd, Qt::LeftButton);
  QTRY_COMPARE(boxes.m_vecShown.size(), size_t(1));
  QCOMPARE(added, 0);
  QCOMPARE(boxes.m_vecShown[0].m_strTitle, QStringLiteral("Error"));
  QCOMPARE(boxes.m_vecShown[0].m_strText, QString::fromLatin1(kInvalidRangeText));
  QTRY_VERIFY(w.m_dialog.m_editRange->hasFocus());
  QCOMPARE(w.m_dialog.m_editRange->text(), QStringLiteral("3-1"));
  QVERIFY(w.m_dialog.m_lblInvalid->isVisible());
  QCOMPARE(item->m_strPageRange, std::wstring(L"All Pages"));

  // Cancel: all pages again, the label hidden, the Pages cell the page count.
  boxes.m_nAnswer = QMessageBox::Cancel;
  QTest::mouseClick(w.List().viewport(), Qt::LeftButton, Qt::NoModifier, w.CellCentre(0, CListCtrlEx::COL_NAME));
  QTRY_COMPARE(boxes.m_vecShown.size(), size_t(2));
  QTRY_VERIFY(!w.m_dialog.m_lblInvalid->isVisible());
  QVERIFY(w.m_dialog.m_editRange->text().isEmpty());
  QVERIFY(w.m_dialog.m_radAllPages->isChecked());
  QVERIFY(!w.m_dialog.m_radPageRange->isChecked());
  QCOMPARE(item->m_strPageRange, std::wstring(L"All Pages"));
  QCOMPARE(w.Cell(0, CListCtrlEx::COL_PAGES), QStringLiteral("3"));

  // Presses work again.
  QTest::mouseClick(w.m_dialog.m_btnAdd, Qt::LeftButton);
  QCOMPARE(added, 1);
  appdlg::SetOpenFilesHook({});
}

void OptionsTest::typedRangeCountsBeforeTheFocusLeaves() {
  AppWindow w;
  app_test::MessageBoxRecorder boxes;
  const QString six = app_test::WritePdf(w.m_files, "six.pdf", 6);
  w.m_dialog.AddFiles({six}, false);
  w.ChooseFormat(1);
  auto typeRange = [&w](const QString& text) {
    w.m_dialog.activateWindow();
    w.m_dialog.m_editRange->setFocus();
    QTRY_VERIFY(w.m_dialog.m_editRange->hasFocus());
    w.m_dialog.m_editRange->selectAll();
    QTest::keyClicks(w.m_dialog.m_editRange, text);
  };

  // Typed, then Convert clicked straight away: the job takes only those pages.
  typeRange(QStringLiteral("2,4"));
  QVERIFY(w.Convert());
  QCOMPARE(PagesInTextOutput(w.Out("six.txt")), (std::vector<int>{2, 4}));
  QCOMPARE(w.m_dialog.FileItems().Find(1)->m_strPageRange, std::wstring(L"2,4"));
  QCOMPARE(w.Cell(0, CListCtrlEx::COL_PAGES), QStringLiteral("Part"));

  // Typed for the first file, then another file added (and shown): the first keeps its range.
  typeRange(QStringLiteral("3-5"));
  appdlg::SetOpenFilesHook([six] { return QStringList{six}; });
  QTest::mouseClick(w.m_dialog.m_btnAdd, Qt::LeftButton);
  appdlg::SetOpenFilesHook({});
  QCOMPARE(w.m_dialog.PreviewIndex(), 2);
  QCOMPARE(w.m_dialog.FileItems().Find(1)->m_strPageRange, std::wstring(L"3-5"));
  QCOMPARE(w.m_dialog.FileItems().Find(2)->m_strPageRange, std::wstring(L"All Pages"));
  QCOMPARE(w.Column(CListCtrlEx::COL_PAGES), (QStringList{"Part", "6"}));
  QVERIFY(w.m_dialog.m_editRange->text().isEmpty());
  // A drop never moves the focus: the same holds for the file shown before it.
  typeRange(QStringLiteral("6"));
  w.m_dialog.OnDropFiles({six});
  QCOMPARE(w.m_dialog.PreviewIndex(), 3);
  QCOMPARE(w.m_dialog.FileItems().Find(2)->m_strPageRange, std::wstring(L"6"));
  w.ClickCell(0, CListCtrlEx::COL_NAME);
  QCOMPARE(w.m_dialog.m_editRange->text(), QStringLiteral("3-5"));
  QVERIFY(boxes.m_vecShown.empty());

  // An invalid range stops Convert with its box (the press on the button itself is swallowed
  // while "Invalid" shows); OK leaves the text to put right, the item its earlier range.
  typeRange(QStringLiteral("9"));
  QVERIFY(w.m_dialog.m_lblInvalid->isVisible());
  w.m_dialog.OnBtnConvert();
  QVERIFY(!w.m_dialog.IsConverting());
  QTRY_COMPARE(boxes.m_vecShown.size(), size_t(1));
  QCOMPARE(boxes.m_vecShown[0].m_strText, QString::fromLatin1(kInvalidRangeText));
  QCOMPARE(w.m_dialog.m_editRange->text(), QStringLiteral("9"));
  QCOMPARE(w.m_dialog.FileItems().Find(1)->m_strPageRange, std::wstring(L"3-5"));

  // Left by a drop that shows another file: the box asks about the file the text was typed
  // for; Cancel gives that file all pages and leaves the shown one alone.
  boxes.m_nAnswer = QMessageBox::Cancel;
  w.m_dialog.OnDropFiles({six});
  QTRY_COMPARE(boxes.m_vecShown.size(), size_t(2));
  QCOMPARE(w.m_dialog.PreviewIndex(), 4);
  QCOMPARE(w.m_dialog.FileItems().Find(1)->m_strPageRange, std::wstring(L"All Pages"));
  QCOMPARE(w.Column(CListCtrlEx::COL_PAGES), (QStringList{"6", "Part", "6", "6"}));
  QVERIFY(!w.m_dialog.m_lblInvalid->isVisible());
}

void OptionsTest::formatBoxAndApplyToAllAfterAConversion() {
  AppWindow w;
  w.m_dialog.AddFiles({app_test::WritePdf(w.m_files, "a.pdf", 1), app_test::WritePdf(w.m_files, "b.pdf", 1),
                       app_test::WritePdf(w.m_files, "c.pdf", 1)},
                      false);
  QCOMPARE(w.Column(CListCtrlEx::COL_STATUS), (QStringList{"PowerPoint", "PowerPoint", "PowerPoint"}));

  // The box follows the selected row; a choice applies to every selected row.
  w.ClickCell(1, CListCtrlEx::COL_NAME);
  QCOMPARE(w.m_dialog.m_cboFormat->currentIndex(), 0);
  w.ChooseFormat(1);
  QCOMPARE(w.Column(CListCtrlEx::COL_STATUS), (QStringList{"PowerPoint", "Text", "PowerPoint"}));
  QCOMPARE(w.m_dialog.FileItems().Find(2)->m_nKind, 5);
  w.ClickCell(0, CListCtrlEx::COL_NAME);
  QCOMPARE(w.m_dialog.m_cboFormat->currentIndex(), 0);
  w.ClickCell(1, CListCtrlEx::COL_NAME);
  QCOMPARE(w.m_dialog.m_cboFormat->currentIndex(), 1);

  QVERIFY(w.Convert());
  QCOMPARE(w.Column(CListCtrlEx::COL_STATUS), (QStringList{"a.pptx", "b.txt", "c.pptx"}));
  QVERIFY(std::filesystem::exists(w.Out("b.txt")));

  // Several rows: the box still sets each of them, the finished names give way to the kind.
  w.List().SelectRowAlone(0);
  w.List().topLevelItem(2)->setSelected(true);
  w.m_dialog.OnListItemEvent(0, 3);
  QVERIFY(!w.m_dialog.m_editRange->isEnabled());
  QVERIFY(w.m_dialog.m_cboFormat->isEnabled());
  w.ChooseFormat(1);
  QCOMPARE(w.Column(CListCtrlEx::COL_STATUS), (QStringList{"Text", "b.txt", "Text"}));
  QCOMPARE(w.m_dialog.FileItems().Find(1)->m_nStatus, int(ITEM_ADDED));

  // "Apply to All" sets the shown kind on every row, the converted one included.
  w.ClickCell(0, CListCtrlEx::COL_NAME);
  w.ChooseFormat(0);
  QTest::mouseClick(w.m_dialog.m_btnApplyAll, Qt::LeftButton);
  QCOMPARE(w.Column(CListCtrlEx::COL_STATUS), (QStringList{"PowerPoint", "PowerPoint", "PowerPoint"}));
  for (int i = 1; i <= 3; ++i) QCOMPARE(w.m_dialog.FileItems().Find(i)->m_nKind, 2);
  w.ChooseFormat(1);
  QTest::mouseClick(w.m_dialog.m_btnApplyAll, Qt::LeftButton);
  QCOMPARE(w.Column(CListCtrlEx::COL_STATUS), (QStringList{"Text", "Text", "Text"}));
}

void OptionsTest::browseStoresTheFolderAndOpenChecksIt() {
  AppWindow w;
  app_test::MessageBoxRecorder boxes;
  UrlRecorder opened;
  TempDir chosen;
  QString title;
  appdlg::SetFolderHook([&](const QString& dialogTitle) {
    title = dialogTitle;
    return ToQt(chosen.Path());
  });
  QTest::mouseClick(w.m_dialog.m_btnBrowse, Qt::LeftButton);
  appdlg::SetFolderHook({});
  QCOMPARE(title, QStringLiteral("Select Output Directory"));
  QCOMPARE(w.m_dialog.m_editOutputDir->text(), ToQt(chosen.Path()));
  QCOMPARE(QString::fromStdWString(CConfigFile(w.m_program.Wide("config.xml")).GetValue(L"OutputDir")),
           ToQt(chosen.Path()));

  // Cancelled: nothing changes.
  appdlg::SetFolderHook([](const QString&) { return QString(); });
  QTest::mouseClick(w.m_dialog.m_btnBrowse, Qt::LeftButton);
  appdlg::SetFolderHook({});
  QCOMPARE(w.m_dialog.m_editOutputDir->text(), ToQt(chosen.Path()));

  // Open: the folder as typed must exist.
  const struct {
    QString m_strText;
    bool m_bOpens;
  } cases[] = {
      {ToQt(chosen.Path()), true},
      {ToQt(chosen.Path()) + QLatin1Char('/'), true},
      {ToQt(chosen / "missing"), false},
      {QStringLiteral("relative/folder"), false},
      {QString(), false},
      {ToQt(chosen.Path()) + QLatin1Char(' '), false},
  };
  for (const auto& c : cases) {
    boxes.m_vecShown.clear();
    opened.m_vecOpened.clear();
    w.m_dialog.m_editOutputDir->setText(c.m_strText);
    QTest::mouseClick(w.m_dialog.m_btnOpen, Qt::LeftButton);
    QCOMPARE(opened.m_vecOpened.size(), size_t(c.m_bOpens ? 1 : 0));
    QCOMPARE(boxes.m_vecShown.size(), size_t(c.m_bOpens ? 0 : 1));
    if (!c.m_bOpens) {
      QCOMPARE(boxes.m_vecShown[0].m_strTitle, QStringLiteral("Error"));
      QCOMPARE(boxes.m_vecShown[0].m_strText,
               QStringLiteral("Output folder does not exist, please select a valid output folder."));
    }
  }
}

void OptionsTest::noticeShownOnceAndNeverAgainOnceTicked() {
  TempDir program;
  TempDir documents;
  TempDir files;
  const QString locked1 = app_test::WritePdf(files, "l1.pdf", 1, "one");
  const QString locked2 = app_test::WritePdf(files, "l2.pdf", 1, "two");
  const QString plain = app_test::WritePdf(files, "plain.pdf", 1);
  {
    app_test::ModalDriver modals;
    CVelluminDlg dialog(ToQt(program.Path()), ToQt(documents.Path()));
    // Plain files alone bring no notice.
    dialog.AddFiles({plain}, false);
    QCOMPARE(modals.m_nNotices, 0);
    dialog.AddFiles({locked1, plain, locked2}, false);
    QCOMPARE(modals.m_nNotices, 1);
    // Not ticked: shown again, and this time the box is ticked.
    modals.m_bTickNotice = true;
    dialog.OnDropFiles({locked1});
    QCOMPARE(modals.m_nNotices, 2);
    QCOMPARE(CConfigFile(program.Wide("config.xml")).GetValue(L"ShowEncryptedTip"), std::wstring(L"NO"));
    dialog.AddFiles({locked2}, false);
    QCOMPARE(modals.m_nNotices, 2);
  }
  // A new window over the same program folder, as after a restart.
  app_test::ModalDriver modals;
  CVelluminDlg dialog(ToQt(program.Path()), ToQt(documents.Path()));
  dialog.AddFiles({locked1, locked2}, false);
  QCOMPARE(modals.m_nNotices, 0);
  QCOMPARE(dialog.FileItems().Count(), 2);
}

void OptionsTest::wrongThenRightPassword() {
  AppWindow w;
  app_test::MessageBoxRecorder boxes;
  w.m_dialog.AddFiles({app_test::WritePdf(w.m_files, "plain.pdf", 1),
                       app_test::WritePdf(w.m_files, "locked.pdf", 3, "s3cret")},
                      false);
  w.ClickCell(1, CListCtrlEx::COL_NAME);
  QVERIFY(!w.m_dialog.m_btnNext->isEnabled());
  const CFileItem* item = w.m_dialog.FileItems().Find(2);

  // Cancel, then a wrong password: nothing changes and nothing is said.
  w.m_modals.m_queAnswers = {std::nullopt, QStringLiteral("wrong")};
  w.ClickCell(1, CListCtrlEx::COL_NUMBER);
  QCOMPARE(w.m_modals.m_nPasswordDialogs, 1);
  QVERIFY(w.m_modals.m_bMasked);
  QCOMPARE(w.m_modals.m_nMaxLength, 259);
  w.ClickCell(1, CListCtrlEx::COL_NUMBER);
  QCOMPARE(w.m_modals.m_nPasswordDialogs, 2);
  QVERIFY(boxes.m_vecShown.empty());
  QVERIFY(w.List().IsRowLocked(1));
  QCOMPARE(w.Cell(1, CListCtrlEx::COL_PAGES), QStringLiteral("Unknown"));
  QVERIFY(item->IsLockedWithoutPassword());
  QVERIFY(!w.m_dialog.m_btnNext->isEnabled());
  QVERIFY(w.m_dialog.m_wndPreview->Doc() == nullptr);

  // A click on a row without the lock asks nothing.
  w.ClickCell(0, CListCtrlEx::COL_NUMBER);
  QCOMPARE(w.m_modals.m_nPasswordDialogs, 2);

  // The right one: page count, file icon, a preview, and the row converts.
  w.ClickCell(1, CListCtrlEx::COL_NAME);
  w.m_modals.m_queAnswers = {QStringLiteral("s3cret")};
  w.ClickCell(1, CListCtrlEx::COL_NUMBER);
  QCOMPARE(w.m_modals.m_nPasswordDialogs, 3);
  QVERIFY(!w.List().IsRowLocked(1));
  QCOMPARE(w.Cell(1, CListCtrlEx::COL_NUMBER), QStringLiteral("2"));
  QCOMPARE(w.Cell(1, CListCtrlEx::COL_PAGES), QStringLiteral("3"));
  QCOMPARE(item->m_nPageCount, 3);
  QCOMPARE(item->m_strUserPassword, std::wstring(L"s3cret"));
  QCOMPARE(item->m_strOwnerPassword, std::wstring(L"s3cret"));
  QVERIFY(w.m_dialog.m_btnNext->isEnabled());
  QVERIFY(item->m_pPreview && w.m_dialog.m_wndPreview->Doc() == item->m_pPreview.get());
  QCOMPARE(w.m_dialog.m_lblPageCount->text(), QStringLiteral("/ 3"));
  // The offscreen platform does not activate the window again after the dialog: ask the
  // window which of its widgets holds the focus.
  QCOMPARE(w.m_dialog.focusWidget(), &w.List());

  QVERIFY(w.Convert());
  QCOMPARE(w.Column(CListCtrlEx::COL_STATUS), (QStringList{"plain.pptx", "locked.pptx"}));
}

int main(int argc, char** argv) {
  app_test::KeepUpdateOffline();
  QApplication app(argc, argv);
  CVelluminApp::SetUpLook(app);
  OptionsTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "OptionsTest.moc"
