// The main window: first start, control states, keyboard rules, the resize grip and the
// worker's notifications.

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>
#include <atomic>
#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "AppTestSupport.h"
#include "app/AboutDlg.h"
#include "app/GuiConvertSink.h"
#include "app/ListCtrlEx.h"
#include "app/VelluminApp.h"
#include "app/VelluminDlg.h"
#include "driver/ConvertJob.h"
#include "driver/Converter.h"
#include "settings/ConfigFile.h"
#include "app/preview/PDFPreview.h"
#include "app/preview/PreviewPane.h"
#include "update/DownloadDlg.h"

using app_test::ToQt;
using testing_support::TempDir;

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void firstStartMakesAndStoresTheDefaultOutputFolder();
  void laterStartUsesTheStoredOutputFolder();
  void controlStatesFollowTheListAndTheSelection();
  void enterAndEscapeNeverCloseTheWindow();
  void pressesAndWheelTurnsFollowTheWindowRules();
  void gripResizesButNeverBelowTheStartupSize();
  void captionButtonsSwapMaxAndRestore();
  void updateCheckStaysSilentWithoutAnAddress();
  void progressFromTheWorkerThreadReachesTheBar();
  void closedSinkReleasesAWaitingWorker();
  void windowClosesWhileTheWorkerConverts();
};

void MainWindowTest::firstStartMakesAndStoresTheDefaultOutputFolder() {
  TempDir program;
  TempDir documents;
  CVelluminDlg dialog(ToQt(program.Path()), ToQt(documents.Path()));

  const std::filesystem::path expected = documents / "Tessaly Pagevane";
  QCOMPARE(dialog.m_editOutputDir->text(), ToQt(expected));
  QVERIFY(std::filesystem::is_directory(expected));
  QCOMPARE(dialog.windowTitle(), QStringLiteral("Pagevane"));

  // The path is in config.xml under OutputDir, as a fresh store reads it.
  QVERIFY(std::filesystem::exists(program / "config.xml"));
  CConfigFile config(program.Wide("config.xml"));
  QCOMPARE(QString::fromStdWString(config.GetValue(L"OutputDir")), ToQt(expected));
}

void MainWindowTest::laterStartUsesTheStoredOutputFolder() {
  TempDir program;
  TempDir documents;
  {
    CConfigFile config(program.Wide("config.xml"));
    config.SetValue(L"OutputDir", L"/srv/converted");
  }
  CVelluminDlg dialog(ToQt(program.Path()), ToQt(documents.Path()));
  QCOMPARE(dialog.m_editOutputDir->text(), QStringLiteral("/srv/converted"));
  QVERIFY(!std::filesystem::exists(documents / "Tessaly Pagevane"));
}

void MainWindowTest::controlStatesFollowTheListAndTheSelection() {
  TempDir program;
  TempDir documents;
  TempDir files;
  CVelluminDlg dialog(ToQt(program.Path()), ToQt(documents.Path()));
  dialog.show();

  struct Expect {
    const char* m_pszSituation;
    bool m_bRemove, m_bClear, m_bConvert, m_bApplyAll, m_bFormat, m_bRadios, m_bToolbar;
  };
  auto check = [&dialog](const Expect& e) {
    const QString situation = QString::fromLatin1(e.m_pszSituation);
    QVERIFY2(dialog.m_btnAdd->isEnabled(), qPrintable(situation));
    QVERIFY2(dialog.m_btnBrowse->isEnabled(), qPrintable(situation));
    QCOMPARE(dialog.m_btnRemove->isEnabled(), e.m_bRemove);
    QCOMPARE(dialog.m_btnClear->isEnabled(), e.m_bClear);
    QCOMPARE(dialog.m_btnConvert->isEnabled(), e.m_bConvert);
    QCOMPARE(dialog.m_btnApplyAll->isEnabled(), e.m_bApplyAll);
    QCOMPARE(dialog.m_cboFormat->isEnabled(), e.m_bFormat);
    QCOMPARE(dialog.m_radAllPages->isEnabled(), e.m_bRadios);
    QCOMPARE(dialog.m_editRange->isEnabled(), e.m_bRadios);
    for (QWidget* tool : {static_cast<QWidget*>(dialog.m_btnPrev), static_cast<QWidget*>(dialog.m_btnNext),
                          static_cast<QWidget*>(dialog.m_editPage), static_cast<QWidget*>(dialog.m_btnZoomIn),
                          static_cast<QWidget*>(dialog.m_btnZoomOut)})
      QCOMPARE(tool->isEnabled(), e.m_bToolbar);
    // Outside a batch: Convert shown, Cancel hidden, no progress, "Option" never shown.
    QVERIFY(dialog.m_btnConvert->isVisible());
    QVERIFY(!dialog.m_btnCancel->isVisible());
    QVERIFY(!dialog.m_btnCancel->isEnabled());
    QVERIFY(!dialog.m_lblProcess->isVisible());
    QVERIFY(!dialog.m_progress->isVisible());
    QVERIFY(!dialog.m_btnOption->isVisible());
    QVERIFY(!dialog.m_lblInvalid->isVisible());
  };

  QVERIFY(dialog.IsListEmpty());
  check({"empty", false, false, false, false, false, false, false});
  QCOMPARE(dialog.m_progress->minimum(), 0);
  QCOMPARE(dialog.m_progress->maximum(), 100);

  app_test::MessageBoxRecorder boxes;
  app_test::ModalDriver modals;
  const QString plain = app_test::WritePdf(files, "plain.pdf", 2);
  const QString second = app_test::WritePdf(files, "second.pdf", 1);
  dialog.AddFiles({plain, second}, false);
  QVERIFY(dialog.HasSelection());
  check({"one row selected", true, true, true, true, true, true, true});
  QCOMPARE(dialog.m_cboFormat->count(), 2);
  QCOMPARE(dialog.m_cboFormat->itemText(0), QStringLiteral("PowerPoint(.pptx)"));
  QCOMPARE(dialog.m_cboFormat->itemText(1), QStringLiteral("Text(.txt)"));

  dialog.m_listFiles->selectAll();
  dialog.OnListItemEvent(0, 3);
  check({"two rows selected", true, true, true, true, true, false, true});

  dialog.m_listFiles->clearSelection();
  dialog.OnListItemEvent(-1, 1);
  QVERIFY(!dialog.HasSelection());
  check({"idle, nothing selected", false, true, true, false, false, false, false});
  QCOMPARE(dialog.m_cboFormat->currentIndex(), -1);

  // A locked file alone: nothing convertible after the others go, no preview tools on it.
  const QString locked = app_test::WritePdf(files, "locked.pdf", 1, "secret");
  dialog.AddFiles({locked}, false);
  check({"locked row selected", true, true, true, true, true, true, false});
  dialog.m_listFiles->SelectRowAlone(0);
  QTest::mouseClick(dialog.m_btnRemove, Qt::LeftButton);
  dialog.m_listFiles->SelectRowAlone(0);
  QTest::mouseClick(dialog.m_btnRemove, Qt::LeftButton);
  QVERIFY(dialog.IsNoConvertibleFile());
  check({"only a locked file left", true, true, false, true, true, true, false});
}

void MainWindowTest::enterAndEscapeNeverCloseTheWindow() {
  TempDir program;
  TempDir documents;
  CVelluminDlg dialog(ToQt(program.Path()), ToQt(documents.Path()));
  dialog.show();
  QVERIFY(QTest::qWaitForWindowExposed(&dialog));

  QWidget* targets[] = {&dialog, dialog.m_btnAdd, dialog.m_editOutputDir, dialog.m_listFiles, dialog.m_cboFormat};
  for (QWidget* target : targets) {
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
      target->setFocus();
      QTest::keyClick(target, key);
      QVERIFY2(dialog.isVisible(), qPrintable(target->objectName()));
      QCOMPARE(dialog.result(), 0);
    }
  }
  // Every one of them sent the focus to the file list.
  QTRY_VERIFY(dialog.m_listFiles->hasFocus());
}

void MainWindowTest::pressesAndWheelTurnsFollowTheWindowRules() {
  TempDir program;
  TempDir documents;
  CVelluminDlg dialog(ToQt(program.Path()), ToQt(documents.Path()));
  dialog.show();
  QVERIFY(QTest::qWaitForWindowExposed(&dialog));

  // While "Invalid" shows, a press anywhere but in the range edit is swallowed.
  int dialogsOpened = 0;
  appdlg::SetOpenFilesHook([&dialogsOpened] {
    ++dialogsOpened;
    return QStringList{};
  });
  dialog.m_editRange->setEnabled(true);
  dialog.m_lblInvalid->show();
  QTest::mouseClick(dialog.m_btnAdd, Qt::LeftButton);
  QCOMPARE(dialogsOpened, 0);
  QTRY_VERIFY(dialog.m_listFiles->hasFocus());
  QTest::mouseClick(dialog.m_editRange, Qt::LeftButton);
  QTRY_VERIFY(dialog.m_editRange->hasFocus());
  dialog.m_lblInvalid->hide();
  QTest::mouseClick(dialog.m_btnAdd, Qt::LeftButton);
  QCOMPARE(dialogsOpened, 1);
  appdlg::SetOpenFilesHook({});

  // A wheel turn outside the list while the list has the focus scrolls the preview.
  QSignalSpy wheel(&dialog, &CVelluminDlg::previewWheel);
  auto turn = [](QWidget* target) {
    const QPointF pos(5, 5);
    QWheelEvent event(pos, target->mapToGlobal(pos), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
  };
  dialog.m_listFiles->setFocus();
  QTRY_VERIFY(dialog.m_listFiles->hasFocus());
  turn(dialog.m_wndPreview->Preview());
  QCOMPARE(wheel.size(), 1);
  QCOMPARE(wheel.at(0).at(0).toInt(), -120);
  turn(dialog.m_listFiles->viewport());
  QCOMPARE(wheel.size(), 1);
  dialog.m_editOutputDir->setFocus();
  QTRY_VERIFY(dialog.m_editOutputDir->hasFocus());
  turn(dialog.m_wndPreview->Preview());
  QCOMPARE(wheel.size(), 1);
}

void MainWindowTest::gripResizesButNeverBelowTheStartupSize() {
  TempDir program;
  TempDir documents;
  CVelluminDlg dialog(ToQt(program.Path()), ToQt(documents.Path()));
  dialog.show();
  QVERIFY(QTest::qWaitForWindowExposed(&dialog));
  const QSize startup = dialog.size();
  QCOMPARE(startup, dialog.StartupSize());

  auto drag = [&dialog](QPoint delta) {
    const QPoint grip(dialog.width() - 5, dialog.height() - 5);
    auto send = [&dialog](QEvent::Type type, QPoint local, Qt::MouseButtons buttons) {
      QMouseEvent event(type, local, dialog.mapToGlobal(local), Qt::LeftButton, buttons, Qt::NoModifier);
      QApplication::sendEvent(&dialog, &event);
    };
    send(QEvent::MouseButtonPress, grip, Qt::LeftButton);
    send(QEvent::MouseMove, grip + delta, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, grip + delta, Qt::NoButton);
  };

  drag(QPoint(-200, -150));
  QCOMPARE(dialog.size(), startup);
  drag(QPoint(120, 80));
  QCOMPARE(dialog.size(), startup + QSize(120, 80));
  // The preview area follows: 6 pixels inside the right edge, 22 above the bottom.
  QCOMPARE(dialog.PreviewAreaRect().right(), dialog.width() - 7);
  QCOMPARE(dialog.PreviewAreaRect().bottom(), dialog.height() - 23);
  drag(QPoint(-500, -500));
  QCOMPARE(dialog.size(), startup);
}

void MainWindowTest::captionButtonsSwapMaxAndRestore() {
  TempDir program;
  TempDir documents;
  CVelluminDlg dialog(ToQt(program.Path()), ToQt(documents.Path()));
  dialog.show();
  QVERIFY(QTest::qWaitForWindowExposed(&dialog));
  const QRect normal = dialog.geometry();
  QVERIFY(dialog.m_btnMax->isVisible());
  QVERIFY(!dialog.m_btnRestore->isVisible());

  QTest::mouseClick(dialog.m_btnMax, Qt::LeftButton);
  QVERIFY(!dialog.m_btnMax->isVisible());
  QVERIFY(dialog.m_btnRestore->isVisible());
  QTest::mouseClick(dialog.m_btnRestore, Qt::LeftButton);
  QVERIFY(dialog.m_btnMax->isVisible());
  QCOMPARE(dialog.geometry(), normal);

  QStringList items;
  int separators = 0;
  for (QAction* action : dialog.m_menuHelp->actions()) {
    if (action->isSeparator())
      ++separators;
    else
      items << action->text();
  }
  QCOMPARE(items, (QStringList{"Technical Support", "Visit Product Page", "Check for Update...", "About"}));
  QCOMPARE(separators, 2);

  dialog.OnAbout();
  QVERIFY(dialog.m_dlgAbout->isVisible());
  QCOMPARE(dialog.m_dlgAbout->windowTitle(), QStringLiteral("About Tessaly Pagevane"));

  QTest::mouseClick(dialog.m_btnClose, Qt::LeftButton);
  QVERIFY(!dialog.isVisible());
}

void MainWindowTest::updateCheckStaysSilentWithoutAnAddress() {
  QCOMPARE(qgetenv("PAGEVANE_UPDATE_URL"), QByteArray());
  TempDir program;
  TempDir documents;
  CVelluminDlg dialog(ToQt(program.Path()), ToQt(documents.Path()));
  dialog.show();
  QVERIFY(QTest::qWaitForWindowExposed(&dialog));
  // The start-up check has run and failed without showing anything.
  QTRY_COMPARE(dialog.m_dlgUpdate->State(), CDownloadDlg::EState::Failed);
  QVERIFY(!dialog.m_dlgUpdate->isVisible());

  // "Check for Update..." shows the window with the failed state.
  for (QAction* action : dialog.m_menuHelp->actions())
    if (action->text() == QStringLiteral("Check for Update...")) action->trigger();
  QVERIFY(dialog.m_dlgUpdate->isVisible());
  QTRY_COMPARE(dialog.m_dlgUpdate->State(), CDownloadDlg::EState::Failed);

  // An installer that has started closes the main window with its worker stopped.
  emit dialog.m_dlgUpdate->QuitRequested();
  QVERIFY(!dialog.isVisible());
  QVERIFY(dialog.Converter() == nullptr);
}

void MainWindowTest::progressFromTheWorkerThreadReachesTheBar() {
  TempDir program;
  TempDir documents;
  CVelluminDlg dialog(ToQt(program.Path()), ToQt(documents.Path()));
  CGuiConvertSink sink(&dialog, [&dialog](const CConvertNotify& notify) { dialog.OnConvertNotify(notify); });

  std::atomic<bool> returned{false};
  std::thread worker([&] {
    CConvertNotify notify;
    notify.m_nItemIndex = 1;  // the current job's item
    notify.m_nNotifyType = NOTIFY_PROGRESS;
    notify.m_fProgress = 0.42f;
    sink.OnConvertNotify(notify);
    returned = true;
  });
  // The worker waits until the user-interface thread has handled the notification.
  QTRY_COMPARE(dialog.m_progress->value(), 42);
  QTRY_VERIFY(returned.load());
  worker.join();

  // A progress report for another item leaves the bar alone.
  CConvertNotify other;
  other.m_nItemIndex = 2;
  other.m_nNotifyType = NOTIFY_PROGRESS;
  other.m_fProgress = 0.9f;
  sink.OnConvertNotify(other);
  QCOMPARE(dialog.m_progress->value(), 42);
}

void MainWindowTest::closedSinkReleasesAWaitingWorker() {
  QObject context;
  int handled = 0;
  CGuiConvertSink sink(&context, [&handled](const CConvertNotify&) { ++handled; });
  std::atomic<bool> returned{false};
  std::thread worker([&] {
    CConvertNotify notify;
    notify.m_nNotifyType = NOTIFY_DONE;
    sink.OnConvertNotify(notify);
    returned = true;
  });
  // No event loop runs, as while the window is being destroyed, so the wait for the worker's
  // post polls without one (a QTRY would handle the notification): closing must free it.
  const QDeadlineTimer deadline(60000);
  while (sink.PostedCount() == 0 && !deadline.hasExpired()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  QCOMPARE(sink.PostedCount(), uint64_t(1));
  QVERIFY(!returned.load());
  sink.Close();
  worker.join();
  QCoreApplication::processEvents();
  QCOMPARE(handled, 0);
}

void MainWindowTest::windowClosesWhileTheWorkerConverts() {
  TempDir program;
  TempDir documents;
  TempDir files;
  const QString input = app_test::WritePdf(files, "long.pdf", 200);
  auto dialog = std::make_unique<CVelluminDlg>(ToQt(program.Path()), ToQt(documents.Path()));

  CConvertJob job;
  job.m_strInputPath = input.toStdWString();
  job.m_strOutputPath = files.Wide("long.txt");
  for (int page = 1; page <= 200; ++page) job.m_vecPages.push_back(page);
  job.m_nKind = 5;
  job.m_nItemIndex = 1;
  dialog->Converter()->AddJobs({job});
  // Progress is flowing, so the worker is mid-job and about to wait on the window again.
  QTRY_VERIFY_WITH_TIMEOUT(dialog->m_progress->value() > 0, 60000);
  dialog.reset();  // must stop the worker without waiting for the rest of the job
  QVERIFY(!std::filesystem::exists(files / "long.txt"));
}

int main(int argc, char** argv) {
  app_test::KeepUpdateOffline();
  QApplication app(argc, argv);
  CVelluminApp::SetUpLook(app);
  MainWindowTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "MainWindowTest.moc"
