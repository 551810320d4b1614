// The conversion batch in the main window with the real converter: statuses, skipped locked
// files, unique output names, progress, Cancel, failures with their reason, opening a
// finished file; and the preview pane following the list.

#include <QDir>
#include <QMenu>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include "AppTestSupport.h"
#include "app/FileItem.h"
#include "app/VelluminApp.h"
#include "app/preview/PDFPreview.h"
#include "app/preview/PreviewDoc.h"
#include "app/preview/PreviewPane.h"

using app_test::AppWindow;
using app_test::ToQt;
using app_test::UrlRecorder;
using testing_support::TempDir;

class BatchTest : public QObject {
  Q_OBJECT

 private slots:
  void batchConvertsEveryFileAndSkipsLockedOnes();
  void missingFolderOrOnlyLockedFiles();
  void progressOfAOnePageFile();
  void cancelEndsTheBatch();
  void sameNamesGetNumbers();
  void longNameIsShortenedAndOpensTheFile();
  void failedFileSaysWhy();
  void outputFolderIsCheckedForEveryJob();
  void listHoldsStillWhileABatchRuns();
  void previewFollowsTheListAndTheToolbar();
};

void BatchTest::batchConvertsEveryFileAndSkipsLockedOnes() {
  AppWindow w;
  w.m_dialog.AddFiles({app_test::WritePdf(w.m_files, "one.pdf", 2), app_test::WritePdf(w.m_files, "two.pdf", 1, "pw"),
                       app_test::WritePdf(w.m_files, "three.pdf", 3)},
                      false);
  w.ClickCell(2, CListCtrlEx::COL_NAME);
  w.ChooseFormat(1);

  // While it runs: Cancel in place of Convert, progress shown, the list's tools disabled.
  bool sawRunningStates = false;
  QObject::connect(w.m_dialog.m_progress, &QProgressBar::valueChanged, &w.m_dialog, [&w, &sawRunningStates] {
    if (!w.m_dialog.IsConverting()) return;
    sawRunningStates = w.m_dialog.m_btnCancel->isVisible() && w.m_dialog.m_btnCancel->isEnabled() &&
                       !w.m_dialog.m_btnConvert->isVisible() && w.m_dialog.m_progress->isVisible() &&
                       w.m_dialog.m_lblProcess->isVisible() && !w.m_dialog.m_btnAdd->isEnabled() &&
                       !w.m_dialog.m_btnRemove->isEnabled() && !w.m_dialog.m_btnClear->isEnabled() &&
                       !w.m_dialog.m_btnApplyAll->isEnabled() && !w.m_dialog.m_btnBrowse->isEnabled() &&
                       !w.m_dialog.m_cboFormat->isEnabled();
    // Every row waits until its own job reports.
    if (w.m_dialog.CurJobIndex() == 1 && w.Cell(2, CListCtrlEx::COL_STATUS) != QStringLiteral("Waiting..."))
      sawRunningStates = false;
  });
  QVERIFY(w.Convert());
  QVERIFY(sawRunningStates);

  QCOMPARE(w.Column(CListCtrlEx::COL_STATUS), (QStringList{"one.pptx", "Skipped", "three.txt"}));
  const int statuses[] = {ITEM_DONE, ITEM_SKIPPED, ITEM_DONE};
  for (int i = 1; i <= 3; ++i) QCOMPARE(w.m_dialog.FileItems().Find(i)->m_nStatus, statuses[i - 1]);
  QVERIFY(std::filesystem::is_regular_file(w.Out("one.pptx")));
  QVERIFY(std::filesystem::is_regular_file(w.Out("three.txt")));
  QVERIFY(!std::filesystem::exists(w.Out("two.pptx")));
  // The preview followed the file being converted; the batch's controls are gone again.
  QCOMPARE(w.List().SelectedRows(), std::vector<int>{2});
  QCOMPARE(w.m_dialog.PreviewIndex(), 3);
  QVERIFY(w.m_dialog.m_btnConvert->isVisible());
  QVERIFY(!w.m_dialog.m_btnCancel->isVisible());
  QVERIFY(!w.m_dialog.m_progress->isVisible());
  QVERIFY(!w.m_dialog.m_lblProcess->isVisible());
  QVERIFY(w.m_dialog.m_btnAdd->isEnabled());
}

void BatchTest::missingFolderOrOnlyLockedFiles() {
  AppWindow w;
  app_test::MessageBoxRecorder boxes;
  w.m_dialog.AddFiles({app_test::WritePdf(w.m_files, "plain.pdf", 1)}, false);
  for (const QString& folder : {ToQt(w.m_out / "missing"), QString(), QStringLiteral("out")}) {
    boxes.m_vecShown.clear();
    w.m_dialog.m_editOutputDir->setText(folder);
    QTest::mouseClick(w.m_dialog.m_btnConvert, Qt::LeftButton);
    QVERIFY(!w.m_dialog.IsConverting());
    QCOMPARE(boxes.m_vecShown.size(), size_t(1));
    QCOMPARE(boxes.m_vecShown[0].m_strTitle, QStringLiteral("ERROR"));
    QCOMPARE(boxes.m_vecShown[0].m_strText,
             QStringLiteral("Output folder does not exist, please select a valid output folder."));
    QCOMPARE(w.Cell(0, CListCtrlEx::COL_STATUS), QStringLiteral("PowerPoint"));
  }

  // Every file locked: the batch ends at once, each of them skipped.
  w.m_dialog.m_editOutputDir->setText(ToQt(w.m_out.Path()));
  QTest::mouseClick(w.m_dialog.m_btnClear, Qt::LeftButton);
  w.m_dialog.AddFiles({app_test::WritePdf(w.m_files, "l1.pdf", 1, "a"), app_test::WritePdf(w.m_files, "l2.pdf", 1, "b")},
                      false);
  QVERIFY(w.Convert());
  QCOMPARE(w.Column(CListCtrlEx::COL_STATUS), (QStringList{"Skipped", "Skipped"}));
}

void BatchTest::progressOfAOnePageFile() {
  AppWindow w;
  w.m_dialog.AddFiles({app_test::WritePdf(w.m_files, "single.pdf", 1)}, false);
  w.m_dialog.m_progress->setValue(37);  // so that the reset to 0 shows too
  QSignalSpy values(w.m_dialog.m_progress, &QProgressBar::valueChanged);
  QVERIFY(w.Convert());
  QList<int> seen;
  for (const QList<QVariant>& value : values) seen << value.at(0).toInt();
  // 0 when the job is built, half way after the page is read, 100 after it is written (and
  // at the done report); the next build finds no item and resets the bar.
  QCOMPARE(seen, (QList<int>{0, 50, 100, 0}));
  QCOMPARE(w.Cell(0, CListCtrlEx::COL_STATUS), QStringLiteral("single.pptx"));
}

void BatchTest::cancelEndsTheBatch() {
  AppWindow w;
  const QString lengthy = app_test::WritePdf(w.m_files, "lengthy.pdf", 300);
  w.m_dialog.AddFiles({lengthy, lengthy, lengthy}, false);
  w.List().selectAll();
  w.m_dialog.OnListItemEvent(0, 3);
  w.ChooseFormat(1);

  QTest::mouseClick(w.m_dialog.m_btnConvert, Qt::LeftButton);
  QVERIFY(w.m_dialog.IsConverting());
  QTRY_VERIFY_WITH_TIMEOUT(w.m_dialog.m_progress->value() > 0, 60000);
  QTest::mouseClick(w.m_dialog.m_btnCancel, Qt::LeftButton);
  QTRY_VERIFY_WITH_TIMEOUT(!w.m_dialog.IsConverting(), 60000);

  // The batch stopped in the first file: every row still waits, nothing was written.
  QCOMPARE(w.Column(CListCtrlEx::COL_STATUS), (QStringList{"Waiting...", "Waiting...", "Waiting..."}));
  QCOMPARE(w.m_dialog.CurJobIndex(), 1);
  QVERIFY(std::filesystem::is_empty(w.m_out.Path()));
  QVERIFY(w.m_dialog.m_btnConvert->isVisible());
  QVERIFY(!w.m_dialog.m_progress->isVisible());

  // A Cancel that meets a job just finishing still ends the batch after that job.
  w.m_dialog.m_editOutputDir->setText(ToQt(w.m_out.Path()));
  QTest::mouseClick(w.m_dialog.m_btnConvert, Qt::LeftButton);
  QTest::mouseClick(w.m_dialog.m_btnCancel, Qt::LeftButton);
  CConvertNotify done;
  done.m_nItemIndex = 1;
  done.m_nNotifyType = NOTIFY_DONE;
  w.m_dialog.OnConvertNotify(done);
  QVERIFY(!w.m_dialog.IsConverting());
  QCOMPARE(w.Cell(1, CListCtrlEx::COL_STATUS), QStringLiteral("Waiting..."));
  QCOMPARE(w.m_dialog.CurJobIndex(), 1);
}

void BatchTest::sameNamesGetNumbers() {
  AppWindow w;
  TempDir first;
  TempDir second;
  fixtures::WriteBytes(w.Out("a.pptx"), "already here");
  w.m_dialog.AddFiles({app_test::WritePdf(first, "a.pdf", 1), app_test::WritePdf(second, "a.pdf", 1)}, false);
  QVERIFY(w.Convert());
  QCOMPARE(w.Column(CListCtrlEx::COL_STATUS), (QStringList{"a(1).pptx", "a(2).pptx"}));
  QVERIFY(std::filesystem::file_size(w.Out("a(1).pptx")) > 100);
  QVERIFY(std::filesystem::file_size(w.Out("a(2).pptx")) > 100);
  QCOMPARE(std::filesystem::file_size(w.Out("a.pptx")), uintmax_t(12));
  QCOMPARE(w.m_dialog.FileItems().Find(2)->m_strOutputPath, w.m_out.Wide("a(2).pptx"));

  // A second batch finds the names taken and goes on counting.
  QVERIFY(w.Convert());
  QCOMPARE(w.Column(CListCtrlEx::COL_STATUS), (QStringList{"a(3).pptx", "a(4).pptx"}));
}

void BatchTest::longNameIsShortenedAndOpensTheFile() {
  const struct {
    const wchar_t* m_pszName;
    const wchar_t* m_pszShown;
  } cases[] = {
      {L"Annual Report 2012 final.pptx", L"Annual R...final.pptx"},
      {L"exactly-18-chars.x", L"exactly-18-chars.x"},
      {L"nineteen-chars.pptx", L"nineteen...chars.pptx"},
  };
  for (const auto& c : cases) QCOMPARE(FormatDoneText(c.m_pszName), std::wstring(c.m_pszShown));

  AppWindow w;
  UrlRecorder opened;
  qint64 now = 1000;
  w.m_dialog.SetClock([&now] { return now; });
  w.m_dialog.AddFiles({app_test::WritePdf(w.m_files, "Annual Report 2012 final.pdf", 1),
                       app_test::WritePdf(w.m_files, "short.pdf", 1)},
                      false);
  // Not finished yet: a click on the kind opens nothing.
  w.ClickCell(0, CListCtrlEx::COL_STATUS);
  QVERIFY(opened.m_vecOpened.empty());

  QVERIFY(w.Convert());
  QCOMPARE(w.Cell(0, CListCtrlEx::COL_STATUS), QStringLiteral("Annual R...final.pptx"));
  QCOMPARE(w.List().StatusTip(0), QStringLiteral("Annual Report 2012 final.pptx"));
  QVERIFY(w.List().topLevelItem(0)->font(CListCtrlEx::COL_STATUS).underline());

  w.ClickCell(0, CListCtrlEx::COL_STATUS);
  QCOMPARE(opened.m_vecOpened.size(), size_t(1));
  QCOMPARE(opened.m_vecOpened[0], ToQt(w.Out("Annual Report 2012 final.pptx")));
  // A second click within 500 ms (a double click) opens nothing more; later clicks do.
  now += 499;
  w.ClickCell(1, CListCtrlEx::COL_STATUS);
  QCOMPARE(opened.m_vecOpened.size(), size_t(1));
  now += 1;
  w.ClickCell(1, CListCtrlEx::COL_STATUS);
  QCOMPARE(opened.m_vecOpened.size(), size_t(2));
  QCOMPARE(opened.m_vecOpened[1], ToQt(w.Out("short.pptx")));
}

void BatchTest::failedFileSaysWhy() {
  AppWindow w;
  const QString spoiled = app_test::WritePdf(w.m_files, "spoiled.pdf", 1);
  w.m_dialog.AddFiles({spoiled, app_test::WritePdf(w.m_files, "fine.pdf", 1)}, false);
  // The file changes after it was listed: its job fails, the batch goes on.
  fixtures::WriteBytes(w.m_files / "spoiled.pdf", fixtures::NotAPdfBytes());
  QVERIFY(w.Convert());
  QCOMPARE(w.Column(CListCtrlEx::COL_STATUS), (QStringList{"Failed", "fine.pptx"}));
  QCOMPARE(w.m_dialog.FileItems().Find(1)->m_nStatus, int(ITEM_FAILED));
  QCOMPARE(w.List().StatusTip(0), QStringLiteral("The file is not a PDF or is damaged."));
  QVERIFY(!std::filesystem::exists(w.Out("spoiled.pptx")));
  QVERIFY(w.List().StatusTip(1).startsWith(QStringLiteral("fine.pptx")));

  // A finished file with a page left blank says so under its name.
  w.m_dialog.AddFiles({app_test::WriteBytes(w.m_files, "gap.pdf", fixtures::MissingPagePdfBytes())}, false);
  QVERIFY(w.Convert());
  QCOMPARE(w.Cell(2, CListCtrlEx::COL_STATUS), QStringLiteral("gap.pptx"));
  QVERIFY(w.List().StatusTip(2).startsWith(QStringLiteral("gap.pptx\n1 page could not be read and was left blank")));

  // A new status drops the old reason.
  QTest::mouseClick(w.m_dialog.m_btnConvert, Qt::LeftButton);
  QCOMPARE(w.List().StatusTip(0), QString());
  QVERIFY(QTest::qWaitFor([&w] { return !w.m_dialog.IsConverting(); }, 120000));
}

void BatchTest::outputFolderIsCheckedForEveryJob() {
  const QString kNoFolder = QStringLiteral("Output folder does not exist, please select a valid output folder.");
  // Relative texts would resolve against the working directory: make that one we can watch.
  TempDir working;
  std::filesystem::create_directory(working / "relative");
  const QString oldCurrent = QDir::currentPath();
  QVERIFY(QDir::setCurrent(ToQt(working.Path())));

  enum class EChange { RelativeText, FolderRemoved };
  for (EChange change : {EChange::RelativeText, EChange::FolderRemoved}) {
    AppWindow w;
    w.m_dialog.AddFiles({app_test::WritePdf(w.m_files, "a.pdf", 1), app_test::WritePdf(w.m_files, "b.pdf", 1),
                         app_test::WritePdf(w.m_files, "c.pdf", 1)},
                        false);
    // The click runs no event loop: the batch is on with the first job queued.
    QTest::mouseClick(w.m_dialog.m_btnConvert, Qt::LeftButton);
    QVERIFY(w.m_dialog.IsConverting());
    QVERIFY(w.m_dialog.m_editOutputDir->isReadOnly());
    QTest::keyClicks(w.m_dialog.m_editOutputDir, QStringLiteral("x"));
    QCOMPARE(w.m_dialog.m_editOutputDir->text(), ToQt(w.m_out.Path()));

    // The folder changes under the batch all the same.
    if (change == EChange::RelativeText) w.m_dialog.m_editOutputDir->setText(QStringLiteral("relative"));
    if (change == EChange::FolderRemoved) std::filesystem::remove_all(w.m_out.Path());
    QTRY_VERIFY_WITH_TIMEOUT(!w.m_dialog.IsConverting(), 120000);

    // Every later file fails with the reason and the batch reaches the end; nothing lands
    // anywhere else.
    const QStringList statuses = w.Column(CListCtrlEx::COL_STATUS);
    QCOMPARE(statuses.mid(1), (QStringList{"Failed", "Failed"}));
    QCOMPARE(w.List().StatusTip(1), kNoFolder);
    QCOMPARE(w.List().StatusTip(2), kNoFolder);
    QCOMPARE(statuses[0], change == EChange::FolderRemoved ? QStringLiteral("Failed") : QStringLiteral("a.pptx"));
    QVERIFY(std::filesystem::is_empty(working / "relative"));
    QVERIFY(!w.m_dialog.m_editOutputDir->isReadOnly());
  }
  QVERIFY(QDir::setCurrent(oldCurrent));
}

void BatchTest::listHoldsStillWhileABatchRuns() {
  AppWindow w;
  const QString plain = app_test::WritePdf(w.m_files, "plain.pdf", 1);
  w.m_dialog.AddFiles({plain, app_test::WritePdf(w.m_files, "locked.pdf", 1, "pw")}, false);
  auto menuStates = [&w] {
    QMenu menu;
    w.List().FillContextMenu(menu);
    QList<bool> states;
    for (QAction* action : menu.actions()) states << action->isEnabled();
    return states;
  };
  w.ClickCell(1, CListCtrlEx::COL_NAME);
  QCOMPARE(menuStates(), (QList<bool>{true, true, true}));

  QTest::mouseClick(w.m_dialog.m_btnConvert, Qt::LeftButton);
  QVERIFY(w.m_dialog.IsConverting());
  // Remove, Clear and Input Password are greyed; the lock icon asks for nothing.
  w.ClickCell(1, CListCtrlEx::COL_NAME);
  QCOMPARE(menuStates(), (QList<bool>{false, false, false}));
  w.ClickCell(1, CListCtrlEx::COL_NUMBER);
  QCOMPARE(w.m_modals.m_nPasswordDialogs, 0);
  // The commands reached some other way, and a drop, leave the list as it is.
  emit w.List().removeRequested();
  emit w.List().clearRequested();
  w.m_dialog.OnDropFiles({plain});
  QCOMPARE(w.m_dialog.FileItems().Count(), 2);
  QCOMPARE(w.List().topLevelItemCount(), 2);

  QTRY_VERIFY_WITH_TIMEOUT(!w.m_dialog.IsConverting(), 120000);
  QCOMPARE(w.Column(CListCtrlEx::COL_STATUS), (QStringList{"plain.pptx", "Skipped"}));
  QCOMPARE(w.m_modals.m_nPasswordDialogs, 0);
  w.ClickCell(1, CListCtrlEx::COL_NAME);
  QCOMPARE(menuStates(), (QList<bool>{true, true, true}));
}

void BatchTest::previewFollowsTheListAndTheToolbar() {
  AppWindow w;
  w.m_dialog.AddFiles({app_test::WritePdf(w.m_files, "pages.pdf", 4), app_test::WritePdf(w.m_files, "locked.pdf", 2, "pw")},
                      false);
  CPreviewPane* pane = w.m_dialog.m_wndPreview;
  const CFileItem* plain = w.m_dialog.FileItems().Find(1);
  const CFileItem* locked = w.m_dialog.FileItems().Find(2);

  // The added file shows its first page in the right pane.
  QCOMPARE(pane->geometry(), w.m_dialog.PreviewAreaRect());
  QVERIFY(pane->Doc() == plain->m_pPreview.get());
  QVERIFY(!pane->Preview()->Image().isNull());
  QCOMPARE(w.m_dialog.m_editPage->text(), QStringLiteral("1"));
  QCOMPARE(w.m_dialog.m_lblPageCount->text(), QStringLiteral("/ 4"));

  // Toolbar, page edit, wheel and arrows reach the pane.
  QTest::mouseClick(w.m_dialog.m_btnNext, Qt::LeftButton);
  QCOMPARE(w.m_dialog.m_editPage->text(), QStringLiteral("2"));
  QTest::mouseClick(w.m_dialog.m_btnPrev, Qt::LeftButton);
  QCOMPARE(w.m_dialog.m_editPage->text(), QStringLiteral("1"));
  const float zoom = pane->Doc()->m_fZoom;
  QTest::mouseClick(w.m_dialog.m_btnZoomIn, Qt::LeftButton);
  QCOMPARE(pane->Doc()->m_fZoom, zoom + 12.0f);
  QTest::mouseClick(w.m_dialog.m_btnZoomOut, Qt::LeftButton);
  QCOMPARE(pane->Doc()->m_fZoom, zoom);
  // The notice about the locked file took the activation away; the offscreen platform never
  // hands it back by itself.
  w.m_dialog.activateWindow();
  w.m_dialog.m_editPage->setFocus();
  QTRY_VERIFY(w.m_dialog.m_editPage->hasFocus());
  w.m_dialog.m_editPage->setText(QStringLiteral("9"));
  w.List().setFocus();  // leaving the edit goes to the typed page, clamped
  QTRY_COMPARE(w.m_dialog.m_editPage->text(), QStringLiteral("4"));
  pane->GoToPage(1);
  const double top = pane->Doc()->m_dOffsetY;
  emit w.m_dialog.previewWheel(-120);
  QCOMPARE(pane->Doc()->m_dOffsetY, top + 30);
  emit w.m_dialog.previewArrow(true);
  QCOMPARE(pane->Doc()->m_dOffsetY, top + 60);
  emit w.m_dialog.previewArrow(false);
  QCOMPARE(pane->Doc()->m_dOffsetY, top + 30);

  // A locked file shows nothing, and its toolbar is off, until its password is accepted.
  w.ClickCell(1, CListCtrlEx::COL_NAME);
  QVERIFY(pane->Doc() == nullptr);
  QVERIFY(pane->Preview()->Image().isNull());
  QVERIFY(!w.m_dialog.m_btnNext->isEnabled());
  w.m_modals.m_queAnswers = {QStringLiteral("pw")};
  w.ClickCell(1, CListCtrlEx::COL_NUMBER);
  QVERIFY(locked->m_pPreview != nullptr);
  QVERIFY(pane->Doc() == locked->m_pPreview.get());
  QVERIFY(!pane->Preview()->Image().isNull());
  QCOMPARE(w.m_dialog.m_lblPageCount->text(), QStringLiteral("/ 2"));
  QVERIFY(w.m_dialog.m_btnNext->isEnabled());

  // Back to the first file: its own state, where it was left.
  w.ClickCell(0, CListCtrlEx::COL_NAME);
  QVERIFY(pane->Doc() == plain->m_pPreview.get());

  // Remove and Clear leave an empty pane, never one pointing at a removed file.
  QTest::mouseClick(w.m_dialog.m_btnRemove, Qt::LeftButton);
  QVERIFY(pane->Doc() == locked->m_pPreview.get());
  QTest::mouseClick(w.m_dialog.m_btnClear, Qt::LeftButton);
  QVERIFY(pane->Doc() == nullptr);
  QVERIFY(pane->Preview()->Image().isNull());
  QVERIFY(w.m_dialog.m_editPage->text().isEmpty());
}

int main(int argc, char** argv) {
  app_test::KeepUpdateOffline();
  QApplication app(argc, argv);
  CVelluminApp::SetUpLook(app);
  BatchTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "BatchTest.moc"
