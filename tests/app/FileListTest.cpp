// The file list: admitting, rejecting, dropping, removing and clearing files, the item
// store, size texts, and the list's own drawing rules.

#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QRadioButton>
#include <QSignalSpy>
#include <QPushButton>
#include <QtTest>

#include "AppTestSupport.h"
#include "app/FileItem.h"
#include "app/ListCtrlEx.h"
#include "app/VelluminApp.h"
#include "app/VelluminDlg.h"
#include "app/preview/PreviewPane.h"

using app_test::AppWindow;
using app_test::ToQt;
using testing_support::TempDir;

namespace {

const char* const kRejectHeader = "Cannot import following files because they are not normal PDF files:";

}  // namespace

class FileListTest : public QObject {
  Q_OBJECT

 private slots:
  void sizeTexts();
  void storeOperations();
  void addAdmitsPlainAndLockedFilesAndRejectsOthers();
  void dropTakesOnlyLowerCasePdfNamesAndAdmitsEmptyFiles();
  void removeRenumbersRowsAndItems();
  void clearEmptiesListAndStore();
  void clickOnEmptyPartKeepsTheSelection();
  void keysSelectRowsOrScrollThePreview();
  void contextMenuOffersPasswordOnlyForOneLockedRow();
  void statusColumnMarksOutputNames();
};

void FileListTest::sizeTexts() {
  const struct {
    uint64_t m_nBytes;
    const wchar_t* m_pszText;
  } cases[] = {
      {0, L"0 BYTE"},           {500, L"500 BYTE"},       {1023, L"1023 BYTE"},
      {1024, L"1 KB"},          {1536, L"1 KB"},          {1048575, L"1023 KB"},
      {1048576, L"1.0 MB"},     {1572864, L"1.5 MB"},     {5ull * 1024 * 1024 * 1024, L"5120.0 MB"},
  };
  for (const auto& c : cases) QCOMPARE(QString::fromStdWString(FormatSizeText(c.m_nBytes)), QString::fromWCharArray(c.m_pszText));
}

void FileListTest::storeOperations() {
  CFileItemList store;
  QVERIFY(store.Find(1) == nullptr);
  for (int i = 1; i <= 4; ++i) {
    auto item = std::make_unique<CFileItem>();
    item->m_nIndex = i;
    item->m_strFileName = std::to_wstring(i);
    store.Append(std::move(item));
  }
  store.RemoveAt(9);  // past the end: nothing
  QCOMPARE(store.Count(), 4);
  store.RemoveAt(2);
  store.RemoveAt(1);
  store.Renumber();
  QCOMPARE(store.Count(), 2);
  QCOMPARE(store.Find(1)->m_strFileName, std::wstring(L"3"));
  QCOMPARE(store.Find(2)->m_strFileName, std::wstring(L"4"));
  QVERIFY(store.Find(3) == nullptr);

  QVERIFY(store.SetPasswordAndPages(2, L"pw", 7));
  QVERIFY(!store.SetPasswordAndPages(5, L"pw", 7));
  const CFileItem* item = store.Find(2);
  QCOMPARE(item->m_strUserPassword, std::wstring(L"pw"));
  QCOMPARE(item->m_strOwnerPassword, std::wstring(L"pw"));
  QCOMPARE(item->m_nPageCount, 7);
  store.Clear();
  QCOMPARE(store.Count(), 0);
}

void FileListTest::addAdmitsPlainAndLockedFilesAndRejectsOthers() {
  AppWindow w;
  app_test::MessageBoxRecorder boxes;
  const QString plain = app_test::WritePdf(w.m_files, "plain.pdf", 3);
  const QString locked = app_test::WritePdf(w.m_files, "locked.pdf", 2, "secret");
  const QString text = app_test::WriteBytes(w.m_files, "notes.pdf", fixtures::NotAPdfBytes());
  const QString empty = app_test::WriteBytes(w.m_files, "empty.pdf", fixtures::ZeroPagePdfBytes());
  const QString missing = ToQt(w.m_files / "missing.pdf");
  appdlg::SetOpenFilesHook([&] { return QStringList{plain, text, missing, locked, empty}; });
  QTest::mouseClick(w.m_dialog.m_btnAdd, Qt::LeftButton);
  appdlg::SetOpenFilesHook({});

  QCOMPARE(w.Column(CListCtrlEx::COL_NUMBER), (QStringList{"1", "2"}));
  QCOMPARE(w.Column(CListCtrlEx::COL_NAME), (QStringList{"plain.pdf", "locked.pdf"}));
  QCOMPARE(w.Column(CListCtrlEx::COL_PAGES), (QStringList{"3", "Unknown"}));
  QCOMPARE(w.Column(CListCtrlEx::COL_STATUS), (QStringList{"PowerPoint", "PowerPoint"}));
  QVERIFY(w.Cell(0, CListCtrlEx::COL_SIZE).endsWith(QStringLiteral(" KB")) ||
          w.Cell(0, CListCtrlEx::COL_SIZE).endsWith(QStringLiteral(" BYTE")));
  QVERIFY(!w.List().IsRowLocked(0));
  QVERIFY(w.List().IsRowLocked(1));

  CFileItem* first = w.m_dialog.FileItems().Find(1);
  CFileItem* second = w.m_dialog.FileItems().Find(2);
  QVERIFY(first && second);
  QCOMPARE(first->m_nPageCount, 3);
  QCOMPARE(first->m_nStatus, int(ITEM_ADDED));
  QCOMPARE(first->m_nKind, 2);
  QCOMPARE(first->m_strPageRange, std::wstring(L"All Pages"));
  QVERIFY(!first->m_bLocked);
  QVERIFY(second->m_bLocked);
  QCOMPARE(second->m_nPageCount, 0);

  // One message names the damaged and the empty file; the unreadable one is skipped silently.
  QCOMPARE(boxes.m_vecShown.size(), size_t(1));
  QCOMPARE(boxes.m_vecShown[0].m_strTitle, QStringLiteral("Error"));
  QCOMPARE(boxes.m_vecShown[0].m_strText, QLatin1String(kRejectHeader) + "\n    \"" + text + "\"" + "\n    \"" + empty + "\"");

  // The first new row is selected alone and shown.
  QCOMPARE(w.List().SelectedRows(), std::vector<int>{0});
  QCOMPARE(w.m_dialog.PreviewIndex(), 1);
  QVERIFY(w.m_dialog.m_wndPreview->Doc() == first->m_pPreview.get());
  QVERIFY(second->m_pPreview == nullptr);

  // A later Add selects its own first row.
  const QString more = app_test::WritePdf(w.m_files, "more.pdf", 1);
  w.m_dialog.AddFiles({more}, false);
  QCOMPARE(w.List().SelectedRows(), std::vector<int>{2});
  QCOMPARE(w.m_dialog.FileItems().Find(3)->m_strFileName, std::wstring(L"more.pdf"));
}

void FileListTest::dropTakesOnlyLowerCasePdfNamesAndAdmitsEmptyFiles() {
  AppWindow w;
  app_test::MessageBoxRecorder boxes;
  const QString upper = app_test::WritePdf(w.m_files, "X.PDF", 1);
  const QString lower = app_test::WritePdf(w.m_files, "y.pdf", 2);
  const QString empty = app_test::WriteBytes(w.m_files, "empty.pdf", fixtures::ZeroPagePdfBytes());
  const QString other = app_test::WriteBytes(w.m_files, "readme.txt", "hello");

  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(upper), QUrl::fromLocalFile(lower), QUrl::fromLocalFile(empty),
                QUrl::fromLocalFile(other)});
  const QPoint inside(20, 20);
  QDragEnterEvent enter(inside, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(w.List().viewport(), &enter);
  QVERIFY(enter.isAccepted());
  QDropEvent drop(inside, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(w.List().viewport(), &drop);

  QCOMPARE(w.Column(CListCtrlEx::COL_NAME), (QStringList{"y.pdf", "empty.pdf"}));
  QCOMPARE(w.Column(CListCtrlEx::COL_PAGES), (QStringList{"2", "0"}));
  QVERIFY(boxes.m_vecShown.empty());

  // The same upper-case file through the Add button is admitted.
  w.m_dialog.AddFiles({upper}, false);
  QCOMPARE(w.Cell(2, CListCtrlEx::COL_NAME), QStringLiteral("X.PDF"));
}

void FileListTest::removeRenumbersRowsAndItems() {
  AppWindow w;
  QStringList paths;
  for (int i = 1; i <= 5; ++i) paths << app_test::WritePdf(w.m_files, "f" + std::to_string(i) + ".pdf", i);
  w.m_dialog.AddFiles(paths, false);

  // Rows 2 and 3 (0-based 1 and 2), selected as a user would with Ctrl.
  w.List().SelectRowAlone(1);
  w.List().topLevelItem(2)->setSelected(true);
  w.m_dialog.OnListItemEvent(1, 1);
  QTest::mouseClick(w.m_dialog.m_btnRemove, Qt::LeftButton);

  QCOMPARE(w.Column(CListCtrlEx::COL_NUMBER), (QStringList{"1", "2", "3"}));
  QCOMPARE(w.Column(CListCtrlEx::COL_NAME), (QStringList{"f1.pdf", "f4.pdf", "f5.pdf"}));
  CFileItemList& store = w.m_dialog.FileItems();
  QCOMPARE(store.Count(), 3);
  const wchar_t* names[] = {L"f1.pdf", L"f4.pdf", L"f5.pdf"};
  for (int i = 1; i <= 3; ++i) {
    QCOMPARE(store.Find(i)->m_strFileName, std::wstring(names[i - 1]));
    QCOMPARE(store.Find(i)->m_nIndex, i);
  }
  QVERIFY(store.Find(4) == nullptr);

  // The first row is selected and shown afresh, so the preview never names a removed file.
  QCOMPARE(w.List().SelectedRows(), std::vector<int>{0});
  QCOMPARE(w.m_dialog.PreviewIndex(), 1);
  QVERIFY(w.m_dialog.m_wndPreview->Doc() == store.Find(1)->m_pPreview.get());

  // Removing what is left empties the list.
  w.List().selectAll();
  w.m_dialog.OnListItemEvent(0, 3);
  QTest::mouseClick(w.m_dialog.m_btnRemove, Qt::LeftButton);
  QCOMPARE(w.List().topLevelItemCount(), 0);
  QCOMPARE(store.Count(), 0);
  QVERIFY(w.m_dialog.IsListEmpty());
  QVERIFY(!w.m_dialog.HasSelection());
  QVERIFY(w.m_dialog.m_wndPreview->Doc() == nullptr);
}

void FileListTest::clearEmptiesListAndStore() {
  AppWindow w;
  const QString locked = app_test::WritePdf(w.m_files, "locked.pdf", 1, "pw");
  const QString plain = app_test::WritePdf(w.m_files, "plain.pdf", 1);
  w.m_dialog.AddFiles({locked, plain}, false);
  QVERIFY(!w.m_dialog.m_btnNext->isEnabled());

  QTest::mouseClick(w.m_dialog.m_btnClear, Qt::LeftButton);
  QCOMPARE(w.List().topLevelItemCount(), 0);
  QCOMPARE(w.m_dialog.FileItems().Count(), 0);
  QVERIFY(w.m_dialog.IsListEmpty());
  QVERIFY(!w.m_dialog.HasSelection());
  QVERIFY(!w.m_dialog.IsNoConvertibleFile());
  QCOMPARE(w.m_dialog.PreviewIndex(), 0);
  QVERIFY(!w.m_dialog.m_btnClear->isEnabled());

  // Numbering starts again at 1.
  w.m_dialog.AddFiles({plain}, false);
  QCOMPARE(w.Column(CListCtrlEx::COL_NUMBER), QStringList{"1"});
  QCOMPARE(w.m_dialog.FileItems().Find(1)->m_strFileName, std::wstring(L"plain.pdf"));
}

void FileListTest::clickOnEmptyPartKeepsTheSelection() {
  AppWindow w;
  const QString a = app_test::WritePdf(w.m_files, "a.pdf", 1);
  const QString b = app_test::WritePdf(w.m_files, "b.pdf", 1);
  w.m_dialog.AddFiles({a, b}, false);
  QTest::mouseClick(w.List().viewport(), Qt::LeftButton, Qt::NoModifier,
                    w.List().visualItemRect(w.List().topLevelItem(1)).center());
  QCOMPARE(w.m_dialog.PreviewIndex(), 2);

  const QPoint below(20, w.List().viewport()->height() - 5);
  QVERIFY(w.List().itemAt(below) == nullptr);
  QTest::mouseClick(w.List().viewport(), Qt::LeftButton, Qt::NoModifier, below);
  QCOMPARE(w.List().SelectedRows(), std::vector<int>{1});
  QVERIFY(w.m_dialog.HasSelection());
}

void FileListTest::keysSelectRowsOrScrollThePreview() {
  AppWindow w;
  QStringList paths;
  for (int i = 1; i <= 3; ++i) paths << app_test::WritePdf(w.m_files, "k" + std::to_string(i) + ".pdf", 1);
  w.m_dialog.AddFiles(paths, false);
  QSignalSpy arrows(&w.m_dialog, &CVelluminDlg::previewArrow);

  // Pointer over the list: the arrows move the selection and the preview follows.
  QCursor::setPos(w.List().mapToGlobal(w.List().rect().center()));
  QTest::keyClick(&w.List(), Qt::Key_Down);
  QCOMPARE(w.List().SelectedRows(), std::vector<int>{1});
  QCOMPARE(w.m_dialog.PreviewIndex(), 2);
  QTest::keyClick(&w.List(), Qt::Key_Up);
  QCOMPARE(w.m_dialog.PreviewIndex(), 1);
  QVERIFY(arrows.isEmpty());

  // Pointer elsewhere: the same keys scroll the preview instead.
  QCursor::setPos(w.m_dialog.mapToGlobal(w.m_dialog.PreviewAreaRect().center()));
  QTest::keyClick(&w.List(), Qt::Key_Down);
  QCOMPARE(w.List().SelectedRows(), std::vector<int>{0});
  QCOMPARE(arrows.size(), 1);
  QCOMPARE(arrows.at(0).at(0).toBool(), true);

  QTest::keyClick(&w.List(), Qt::Key_A, Qt::ControlModifier);
  QCOMPARE(w.List().SelectedRows(), (std::vector<int>{0, 1, 2}));
  QVERIFY(w.m_dialog.HasSelection());
  QVERIFY(!w.m_dialog.m_radAllPages->isEnabled());  // several rows: no page range
}

void FileListTest::contextMenuOffersPasswordOnlyForOneLockedRow() {
  AppWindow w;
  const QString locked = app_test::WritePdf(w.m_files, "locked.pdf", 1, "pw");
  const QString plain = app_test::WritePdf(w.m_files, "plain.pdf", 1);
  w.m_dialog.AddFiles({locked, plain}, false);

  auto passwordEnabled = [&w] {
    QMenu menu;
    w.List().FillContextMenu(menu);
    const QList<QAction*> actions = menu.actions();
    QStringList texts;
    for (QAction* action : actions) texts << action->text();
    [&] { QCOMPARE(texts, (QStringList{"Remove This Item", "Clear All Items", "Input Password"})); }();
    return actions.at(2)->isEnabled();
  };
  w.List().SelectRowAlone(0);
  QVERIFY(passwordEnabled());
  w.List().SelectRowAlone(1);
  QVERIFY(!passwordEnabled());
  w.List().selectAll();
  QVERIFY(!passwordEnabled());

  // "Clear All Items" reaches the main window.
  QMenu menu;
  w.List().FillContextMenu(menu);
  menu.actions().at(1)->trigger();
  QVERIFY(w.m_dialog.IsListEmpty());
}

void FileListTest::statusColumnMarksOutputNames() {
  const struct {
    const char* m_pszText;
    bool m_bName;
  } cases[] = {{"PowerPoint", false}, {"Text", false},   {"Waiting...", false}, {"Skipped", false},
               {"Failed", false},     {"a.pptx", true},  {"Annual R...final.pptx", true}};
  for (const auto& c : cases) QCOMPARE(CListCtrlEx::IsOutputName(QLatin1String(c.m_pszText)), c.m_bName);

  AppWindow w;
  const QString plain = app_test::WritePdf(w.m_files, "plain.pdf", 1);
  w.m_dialog.AddFiles({plain}, false);
  w.List().SetStatusText(0, QStringLiteral("a.pptx"));
  QTreeWidgetItem* row = w.List().topLevelItem(0);
  QVERIFY(row->font(CListCtrlEx::COL_STATUS).underline());
  QCOMPARE(row->foreground(CListCtrlEx::COL_STATUS).color(), QColor(0, 0, 255));
  w.List().SetStatusText(0, QStringLiteral("Text"));
  QVERIFY(!row->font(CListCtrlEx::COL_STATUS).underline());
  QCOMPARE(row->foreground(CListCtrlEx::COL_STATUS).color(), QColor(0, 0, 255));

  const QString longName = QString(70, QLatin1Char('n')) + QStringLiteral("-tail.pptx") + QString(5, QLatin1Char('z'));
  QCOMPARE(longName.size(), 85);
  QCOMPARE(CListCtrlEx::OutputNameTip(longName), longName.left(66) + "..." + longName.right(10));
  const QString eighty(80, QLatin1Char('e'));
  QCOMPARE(CListCtrlEx::OutputNameTip(eighty), eighty);
}

int main(int argc, char** argv) {
  app_test::KeepUpdateOffline();
  QApplication app(argc, argv);
  CVelluminApp::SetUpLook(app);
  FileListTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "FileListTest.moc"
