#pragma once
// CVelluminDlg: the main window. A frameless dialog that draws its own caption and frame;
// the left pane holds the file list, the output options and the conversion controls, the
// right pane the page preview. It owns the converter, the settings store and the item store.

#include <QDialog>
#include <QFont>
#include <QRect>
#include <QStringList>
#include <functional>
#include <memory>

#include "app/FileItem.h"
#include "app/GuiConvertSink.h"

class CAboutDlg;
class CConfigFile;
class CConverter;
class CDownloadDlg;
class CPreviewPane;
class CListCtrlEx;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;

class CVelluminDlg : public QDialog {
  Q_OBJECT

 public:
  // The program folder holds config.xml; the documents folder receives the default output
  // folder at first start. The default constructor takes the real ones.
  CVelluminDlg(const QString& strProgramDir, const QString& strDocumentsDir, QWidget* parent = nullptr);
  CVelluminDlg();
  ~CVelluminDlg() override;

  // What one Add or drop did.
  struct CAddResult {
    int m_nAdded = 0;        // files listed
    int m_nLocked = 0;       // of them, files that need a password
    int m_nRejected = 0;     // files refused as not normal PDF files
  };
  // Admits `paths` (Add button: every path; a drop: only names ending in ".pdf", and files
  // of 0 pages too), reports rejected files, and selects the first new row.
  CAddResult AddFiles(const QStringList& paths, bool bDropped);

  void UpdateControlStates();

  // The item store; item i shows on row i - 1.
  CFileItemList& FileItems() { return m_fileItems; }
  CConverter* Converter() { return m_pConverter.get(); }

  // State flags.
  bool IsListEmpty() const { return m_bListEmpty; }
  bool HasSelection() const { return m_bHasSelection; }
  bool IsNoConvertibleFile() const { return m_bNoConvertibleFile; }
  bool IsConverting() const { return m_bConverting; }
  int PreviewIndex() const { return m_nPreviewIndex; }
  // 1-based item of the job that runs (or ran last).
  int CurJobIndex() const { return m_nCurJobIndex; }

  // True when `strFolder`, as typed, names an existing folder: an absolute path to a directory.
  static bool IsExistingFolder(const QString& strFolder);

  // Milliseconds on a steady clock, read for the pause after an output file was opened. The
  // default is the system's steady clock; tests set their own.
  using ClockFn = std::function<qint64()>;
  void SetClock(ClockFn fnNowMs) { m_fnNowMs = std::move(fnNowMs); }

  // The preview area in window coordinates: from (468, 95) to 6 pixels inside the right
  // edge and 22 pixels above the bottom.
  QRect PreviewAreaRect() const;
  QSize StartupSize() const { return m_sizeStartup; }

  // Controls, public so that the window can be driven as a user drives it.
  QPushButton* m_btnHelp = nullptr;
  QPushButton* m_btnMin = nullptr;
  QPushButton* m_btnMax = nullptr;
  QPushButton* m_btnRestore = nullptr;
  QPushButton* m_btnClose = nullptr;
  QPushButton* m_btnAdd = nullptr;
  QPushButton* m_btnRemove = nullptr;
  QPushButton* m_btnClear = nullptr;
  QPushButton* m_btnConvert = nullptr;
  QPushButton* m_btnCancel = nullptr;
  CListCtrlEx* m_listFiles = nullptr;
  QGroupBox* m_grpFormat = nullptr;
  QGroupBox* m_grpSetting = nullptr;
  QGroupBox* m_grpFolder = nullptr;
  QComboBox* m_cboFormat = nullptr;
  QPushButton* m_btnApplyAll = nullptr;
  QPushButton* m_btnOption = nullptr;      // present, never shown
  QRadioButton* m_radAllPages = nullptr;
  QRadioButton* m_radPageRange = nullptr;
  QLineEdit* m_editRange = nullptr;
  QLabel* m_lblInvalid = nullptr;
  QLineEdit* m_editOutputDir = nullptr;
  QPushButton* m_btnOpen = nullptr;
  QPushButton* m_btnBrowse = nullptr;
  QLabel* m_lblProcess = nullptr;
  QProgressBar* m_progress = nullptr;
  QPushButton* m_btnPrev = nullptr;
  QPushButton* m_btnNext = nullptr;
  QLineEdit* m_editPage = nullptr;
  QLabel* m_lblPageCount = nullptr;
  QPushButton* m_btnZoomIn = nullptr;
  QPushButton* m_btnZoomOut = nullptr;
  CPreviewPane* m_wndPreview = nullptr;    // the right pane: pages of the previewed file
  QMenu* m_menuHelp = nullptr;
  CAboutDlg* m_dlgAbout = nullptr;
  CDownloadDlg* m_dlgUpdate = nullptr;     // the online update, hidden until needed

 signals:
  // WM_PREVIEW_WHEEL (2025): a wheel turn outside the list while the list has the focus.
  void previewWheel(int nDelta);
  // WM_PREVIEW_ARROW (1130): an up or down arrow while the pointer is outside the list.
  void previewArrow(bool bDown);

 public slots:
  void OnBtnAdd();
  void OnBtnRemove();
  void OnBtnClear();
  void OnDropFiles(const QStringList& paths);
  // WM_LIST_ITEM_EVENT: nRow is the 0-based row or negative for none; nCause its lParam.
  void OnListItemEvent(int nRow, int nCause);
  // WM_CONVERT_NOTIFY, on the user-interface thread while the worker waits.
  void OnConvertNotify(const CConvertNotify& notify);

  // Output kind, pages and folder.
  void OnFormatChanged(int nIndex);   // the user picked an entry of the output-format box
  void OnBtnApplyAll();
  void OnRadAllPages();
  void OnRadPageRange();
  void OnRangeTextChanged(const QString& text);
  void OnBtnBrowse();
  void OnBtnOpen();

  // The batch.
  void OnBtnConvert();
  void OnBtnCancel();
  // Builds and queues the job of item nIndex, passing over items still locked; ends the
  // batch past the last item.
  void BuildNextJob(int nIndex);

  // Asks for the password of item nIndex and checks it against the document. True when it
  // opened the document; a wrong password changes nothing and shows nothing.
  bool InputPassword(int nIndex);

  // The online update has started an installer: the worker is stopped and the window closes.
  void OnQuitRequested();

  void OnBtnHelp();
  void OnBtnMin();
  void OnBtnMax();
  void OnBtnRestore();
  void OnTechnicalSupport();
  void OnVisitProductPage();
  void OnCheckForUpdate();
  void OnAbout();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void CreateControls();
  void LayoutControls();
  void ShapeWindow();
  void InitOutputFolder(const QString& strDocumentsDir);
  // After an Add or a drop that listed files needing a password, unless turned off.
  void ShowEncryptTip();
  // The output-format box and the page-range controls show item `item`.
  void ShowItemOptions(const CFileItem& item);
  // The Pages cell: "Unknown" for a file still locked, the count for all pages, else "Part".
  static QString PagesCellText(const CFileItem& item);
  // The output kind of entry nIndex of the output-format box.
  static int KindOfBoxIndex(int nIndex);
  void SetItemKind(CFileItem& item, int nKind);
  // The item's status, its fifth-column text and, for a finished file, the output name the
  // cell offers (any reason shown under it is dropped).
  void SetItemStatus(CFileItem& item, int nStatus, const std::wstring& strText,
                     const std::wstring& strOutputName = {});
  // Leaving the page-range edit: the previewed item takes its text (see the .cpp).
  void OnRangeEditKillFocus();
  // The previewed item takes the edit's text; false (and the invalid-range box queued) when
  // the text is not a valid range.
  bool CommitRangeEdit(bool bFocusLost);
  void OnInvalidRangeLeft(int nIndex, const QString& strText);
  void SetItemAllPages(CFileItem& item, bool bFocusRadio);
  void OnPageEditKillFocus();
  void OnStatusClicked(int nIndex);
  void EndBatch();
  void StopConverter();
  int AdmitFile(const QString& path, bool bDropped, QString& rejected, CAddResult& result);
  // Selects row nRow alone and reports it as WM_LIST_ITEM_EVENT with cause 3.
  void SelectRow(int nRow);
  // The right pane shows item nIndex (1-based); 0 shows nothing.
  void ShowItemInPreview(int nIndex);
  void ResetPreview();
  bool AllItemsLockedWithoutPassword();
  QRect GripRect() const;
  bool IsInThisWindow(QObject* object) const;

  // State flags.
  bool m_bListEmpty = true;
  bool m_bHasSelection = false;
  bool m_bNoConvertibleFile = false;
  bool m_bConverting = false;
  bool m_bCancelRequested = false; // Cancel pressed in this batch: no further job is built
  bool m_bRangeBoxPending = false; // the invalid-range box is queued or showing
  int m_nCurJobIndex = 1;          // 1-based item of the running job
  int m_nPreviewIndex = 0;         // 1-based item shown in the preview; 0 for none

  QString m_strProgramDir;
  QFont m_fontBig;                 // bold Arial, 16 pixels
  QFont m_fontSmall;               // bold Arial, 14 pixels
  QSize m_sizeStartup;             // also the smallest size the grip allows
  QRect m_rcNormal;                // geometry to go back to from the maximised state
  ClockFn m_fnNowMs;               // see SetClock
  qint64 m_nOpenedAtMs = -1;       // when an output file was last opened; -1 for never

  enum class EDrag { None, Move, Resize };
  EDrag m_eDrag = EDrag::None;
  QPoint m_ptDragStart;            // global position of the press
  QRect m_rcDragStart;             // geometry at the press

  CFileItemList m_fileItems;
  std::unique_ptr<CConfigFile> m_pConfig;
  CGuiConvertSink m_sink;
  std::unique_ptr<CConverter> m_pConverter;
};
