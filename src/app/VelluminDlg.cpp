#include "app/VelluminDlg.h"

#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <filesystem>

#include "app/AboutDlg.h"
#include "app/AppDialogs.h"
#include "app/AppMessages.h"
#include "app/EncryptTipDlg.h"
#include "app/InputPasswordDlg.h"
#include "app/ListCtrlEx.h"
#include "app/Skin.h"
#include "app/preview/PreviewPane.h"
#include "driver/Converter.h"
#include "driver/OutputKind.h"
#include "driver/OutputPath.h"
#include "driver/PageRange.h"
#include "pdf/MuInterface.h"
#include "platform/ProgramDir.h"
#include "platform/Strings.h"
#include "settings/ConfigFile.h"
#include "update/DownloadDlg.h"

namespace {

constexpr int kCaptionHeight = 32;     // the drawn caption band
constexpr int kDragHeight = 29;        // a press this close to the top moves the window
constexpr int kBottomBand = 27;        // the band under the left pane
constexpr int kStatusStrip = 22;       // the strip under the preview
constexpr int kGripSize = 15;          // the resize grip in the lower-right corner
constexpr int kLeftPaneWidth = 462;    // the fixed left pane
constexpr int kPreviewLeft = 468;
constexpr int kPreviewTop = 95;
constexpr int kToolbarTop = 48;        // the preview toolbar inside the 62-pixel band
const QSize kStartupSize(1000, 660);

const char* const kDefaultFolderName = "Tessaly Pagevane";
const char* const kHowToUrl = "https://www.tessaly.com/pagevane/how-to.html";
const char* const kProductUrl = "https://www.tessaly.com/pagevane/";

QString ToQt(const std::wstring& text) { return QString::fromStdWString(text); }

const char* const kNoFolderText = "Output folder does not exist, please select a valid output folder.";
const char* const kInvalidRangeText =
    "Page range is invalid, please try again (e.g. 1,3-5,\n19 comma between numbers, no space),\n"
    "or click cancel to set for all pages";
constexpr qint64 kOpenPauseMs = 500;   // a second click this soon after opening an output is ignored

qint64 SteadyNowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// Rows of the rounded top corners: how many pixels each of the top five rows gives up.
constexpr int kCornerCut[5] = {5, 3, 2, 1, 1};

}  // namespace

CVelluminDlg::CVelluminDlg()
    : CVelluminDlg(ToQt(platform::GetProgramDir()),
                   QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)) {}

CVelluminDlg::CVelluminDlg(const QString& strProgramDir, const QString& strDocumentsDir, QWidget* parent)
    : QDialog(parent),
      m_strProgramDir(strProgramDir),
      m_fnNowMs(SteadyNowMs),
      m_sink(this, [this](const CConvertNotify& notify) { OnConvertNotify(notify); }) {
  setObjectName(QStringLiteral("CVelluminDlg"));
  setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowMinMaxButtonsHint | Qt::WindowSystemMenuHint);
  setWindowIcon(QIcon(skin::AppPixmap(64)));
  setMouseTracking(true);

  m_fontBig = QFont(QStringLiteral("Arial"));
  m_fontBig.setPixelSize(16);
  m_fontBig.setBold(true);
  m_fontSmall = m_fontBig;
  m_fontSmall.setPixelSize(14);

  m_dlgAbout = new CAboutDlg(this);
  m_dlgAbout->hide();
  m_dlgUpdate = new CDownloadDlg(this);
  m_dlgUpdate->hide();
  connect(m_dlgUpdate, &CDownloadDlg::QuitRequested, this, &CVelluminDlg::OnQuitRequested);

  CreateControls();
  setStyleSheet(skin::StyleSheet());

  // The worker lives from here to the destructor; its notifications come through m_sink.
  m_pConverter = std::make_unique<CConverter>();
  m_pConverter->Start(&m_sink, m_strProgramDir.toStdWString());

  m_pConfig = std::make_unique<CConfigFile>(
      (m_strProgramDir + QLatin1Char('/') + QStringLiteral("config.xml")).toStdWString());
  InitOutputFolder(strDocumentsDir);

  m_sizeStartup = kStartupSize;
  setMinimumSize(m_sizeStartup);
  resize(m_sizeStartup);
  LayoutControls();
  m_listFiles->SetColumnWidths(m_listFiles->width() - 2 * m_listFiles->frameWidth());
  UpdateControlStates();

  m_btnAdd->setFocus();
  setWindowTitle(QStringLiteral("Pagevane"));
  qApp->installEventFilter(this);
  // Silent unless a newer release is found.
  m_dlgUpdate->StartCheck();
}

CVelluminDlg::~CVelluminDlg() {
  qApp->removeEventFilter(this);
  StopConverter();
  m_pConfig.reset();
  // The pane lets go of the previewed item's state before the items go.
  m_wndPreview->Reset();
  m_fileItems.Clear();
}

void CVelluminDlg::StopConverter() {
  // Release a worker waiting on a notification first, then stop and join it.
  m_sink.Close();
  m_pConverter.reset();
}

void CVelluminDlg::CreateControls() {
  auto makeButton = [this](const QString& text, const char* name, skin::EGlyph glyph, const char* role,
                           const QColor& glyphColor, int glyphSize) {
    auto* button = new QPushButton(this);
    button->setObjectName(QLatin1String(name));
    button->setProperty("role", QLatin1String(role));
    button->setAutoDefault(false);
    button->setDefault(false);
    // A click takes the focus, as the Tab key does: an edit the user was typing in is left
    // (and its text handed over) before the click's command runs.
    button->setFocusPolicy(Qt::StrongFocus);
    button->setIcon(skin::GlyphIcon(glyph, glyphColor, glyphSize));
    button->setIconSize(QSize(glyphSize, glyphSize));
    button->setAccessibleName(text);
    if (QLatin1String(role) == QLatin1String("main") || QLatin1String(role) == QLatin1String("text"))
      button->setText(text);
    else
      button->setToolTip(text);
    return button;
  };
  const QColor white(255, 255, 255);
  const QColor ink(47, 59, 72);
  const QColor accent = skin::kAccent;

  m_btnHelp = makeButton(QStringLiteral("Help"), "m_btnHelp", skin::EGlyph::Help, "caption", white, 14);
  m_btnMin = makeButton(QStringLiteral("Min"), "m_btnMin", skin::EGlyph::Minimise, "caption", white, 14);
  m_btnMax = makeButton(QStringLiteral("Max"), "m_btnMax", skin::EGlyph::Maximise, "caption", white, 14);
  m_btnRestore = makeButton(QStringLiteral("Restore"), "m_btnRestore", skin::EGlyph::Restore, "caption", white, 14);
  m_btnClose = makeButton(QStringLiteral("Close"), "m_btnClose", skin::EGlyph::Close, "caption", white, 14);
  m_btnRestore->hide();
  for (QPushButton* button : {m_btnHelp, m_btnMin, m_btnMax, m_btnRestore, m_btnClose})
    button->setFocusPolicy(Qt::NoFocus);

  m_btnAdd = makeButton(QStringLiteral("Add"), "m_btnAdd", skin::EGlyph::Add, "main", accent, 16);
  m_btnRemove = makeButton(QStringLiteral("Remove"), "m_btnRemove", skin::EGlyph::Remove, "main", accent, 16);
  m_btnClear = makeButton(QStringLiteral("Clear"), "m_btnClear", skin::EGlyph::Clear, "main", accent, 16);
  m_btnConvert = makeButton(QStringLiteral("Convert"), "m_btnConvert", skin::EGlyph::Convert, "main", white, 16);
  m_btnCancel = makeButton(QStringLiteral("Cancel"), "m_btnCancel", skin::EGlyph::Cancel, "main", white, 16);

  m_listFiles = new CListCtrlEx(this);
  m_listFiles->setObjectName(QStringLiteral("m_listFiles"));

  m_grpFormat = new QGroupBox(QStringLiteral("Output Format"), this);
  m_grpSetting = new QGroupBox(QStringLiteral("Output Setting"), this);
  m_grpFolder = new QGroupBox(QStringLiteral("Output Folder"), this);

  m_cboFormat = new QComboBox(m_grpFormat);
  m_cboFormat->setObjectName(QStringLiteral("m_cboFormat"));
  m_cboFormat->addItem(QStringLiteral("PowerPoint(.pptx)"));
  m_cboFormat->addItem(QStringLiteral("Text(.txt)"));
  m_cboFormat->setCurrentIndex(-1);
  m_btnApplyAll = new QPushButton(QStringLiteral("Apply to All"), m_grpFormat);
  m_btnApplyAll->setObjectName(QStringLiteral("m_btnApplyAll"));
  m_btnOption = new QPushButton(QStringLiteral("Option"), m_grpFormat);
  m_btnOption->setObjectName(QStringLiteral("m_btnOption"));
  m_btnOption->hide();

  m_radAllPages = new QRadioButton(QStringLiteral("All Pages"), m_grpSetting);
  m_radAllPages->setObjectName(QStringLiteral("m_radAllPages"));
  m_radAllPages->setChecked(true);
  m_radPageRange = new QRadioButton(QStringLiteral("Page Range"), m_grpSetting);
  m_radPageRange->setObjectName(QStringLiteral("m_radPageRange"));
  m_editRange = new QLineEdit(m_grpSetting);
  m_editRange->setObjectName(QStringLiteral("m_editRange"));
  m_editRange->setPlaceholderText(QStringLiteral("e.g. 1,3-5,19"));
  m_lblInvalid = new QLabel(QStringLiteral("Invalid"), m_grpSetting);
  m_lblInvalid->setObjectName(QStringLiteral("m_lblInvalid"));
  m_lblInvalid->hide();

  m_editOutputDir = new QLineEdit(m_grpFolder);
  m_editOutputDir->setObjectName(QStringLiteral("m_editOutputDir"));
  m_btnOpen = makeButton(QStringLiteral("Open"), "m_btnOpen", skin::EGlyph::Open, "text", ink, 14);
  m_btnOpen->setParent(m_grpFolder);
  m_btnBrowse = makeButton(QStringLiteral("Browse"), "m_btnBrowse", skin::EGlyph::Browse, "text", ink, 14);
  m_btnBrowse->setParent(m_grpFolder);

  m_lblProcess = new QLabel(QStringLiteral("Process:"), this);
  m_lblProcess->setObjectName(QStringLiteral("m_lblProcess"));
  m_lblProcess->setFont(m_fontSmall);
  m_progress = new QProgressBar(this);
  m_progress->setObjectName(QStringLiteral("m_progress"));
  m_progress->setRange(0, 100);
  m_progress->setValue(0);

  m_btnPrev = makeButton(QStringLiteral("Prev"), "m_btnPrev", skin::EGlyph::Prev, "tool", ink, 16);
  m_btnNext = makeButton(QStringLiteral("Next"), "m_btnNext", skin::EGlyph::Next, "tool", ink, 16);
  m_editPage = new QLineEdit(this);
  m_editPage->setObjectName(QStringLiteral("m_editPage"));
  m_editPage->setAlignment(Qt::AlignCenter);
  m_lblPageCount = new QLabel(this);
  m_lblPageCount->setObjectName(QStringLiteral("m_lblPageCount"));
  m_btnZoomOut = makeButton(QStringLiteral("Out"), "m_btnZoomOut", skin::EGlyph::ZoomOut, "tool", ink, 16);
  m_btnZoomIn = makeButton(QStringLiteral("In"), "m_btnZoomIn", skin::EGlyph::ZoomIn, "tool", ink, 16);
  // The preview toolbar leaves the focus where it is, so that the arrows and the wheel go on
  // scrolling the preview after a click on it.
  for (QPushButton* button : {m_btnPrev, m_btnNext, m_btnZoomOut, m_btnZoomIn}) button->setFocusPolicy(Qt::TabFocus);

  m_wndPreview = new CPreviewPane(this);
  m_wndPreview->setObjectName(QStringLiteral("m_wndPreview"));

  m_menuHelp = new QMenu(this);
  m_menuHelp->addAction(QStringLiteral("Technical Support"), this, &CVelluminDlg::OnTechnicalSupport);
  m_menuHelp->addAction(QStringLiteral("Visit Product Page"), this, &CVelluminDlg::OnVisitProductPage);
  m_menuHelp->addSeparator();
  m_menuHelp->addAction(QStringLiteral("Check for Update..."), this, &CVelluminDlg::OnCheckForUpdate);
  m_menuHelp->addSeparator();
  m_menuHelp->addAction(QStringLiteral("About"), this, &CVelluminDlg::OnAbout);

  connect(m_btnHelp, &QPushButton::clicked, this, &CVelluminDlg::OnBtnHelp);
  connect(m_btnMin, &QPushButton::clicked, this, &CVelluminDlg::OnBtnMin);
  connect(m_btnMax, &QPushButton::clicked, this, &CVelluminDlg::OnBtnMax);
  connect(m_btnRestore, &QPushButton::clicked, this, &CVelluminDlg::OnBtnRestore);
  connect(m_btnClose, &QPushButton::clicked, this, &QDialog::close);
  connect(m_btnAdd, &QPushButton::clicked, this, &CVelluminDlg::OnBtnAdd);
  connect(m_btnRemove, &QPushButton::clicked, this, &CVelluminDlg::OnBtnRemove);
  connect(m_btnClear, &QPushButton::clicked, this, &CVelluminDlg::OnBtnClear);
  connect(m_listFiles, &CListCtrlEx::listItemEvent, this, &CVelluminDlg::OnListItemEvent);
  connect(m_listFiles, &CListCtrlEx::removeRequested, this, &CVelluminDlg::OnBtnRemove);
  connect(m_listFiles, &CListCtrlEx::clearRequested, this, &CVelluminDlg::OnBtnClear);
  connect(m_listFiles, &CListCtrlEx::filesDropped, this, &CVelluminDlg::OnDropFiles);
  connect(m_listFiles, &CListCtrlEx::previewArrow, this, &CVelluminDlg::previewArrow);

  connect(m_cboFormat, &QComboBox::activated, this, &CVelluminDlg::OnFormatChanged);
  connect(m_btnApplyAll, &QPushButton::clicked, this, &CVelluminDlg::OnBtnApplyAll);
  connect(m_radAllPages, &QRadioButton::clicked, this, &CVelluminDlg::OnRadAllPages);
  connect(m_radPageRange, &QRadioButton::clicked, this, &CVelluminDlg::OnRadPageRange);
  connect(m_editRange, &QLineEdit::textChanged, this, &CVelluminDlg::OnRangeTextChanged);
  connect(m_btnBrowse, &QPushButton::clicked, this, &CVelluminDlg::OnBtnBrowse);
  connect(m_btnOpen, &QPushButton::clicked, this, &CVelluminDlg::OnBtnOpen);
  connect(m_btnConvert, &QPushButton::clicked, this, &CVelluminDlg::OnBtnConvert);
  connect(m_btnCancel, &QPushButton::clicked, this, &CVelluminDlg::OnBtnCancel);

  // The preview toolbar, the wheel and the arrows drive the pane.
  connect(m_btnPrev, &QPushButton::clicked, m_wndPreview, &CPreviewPane::PrevPage);
  connect(m_btnNext, &QPushButton::clicked, m_wndPreview, &CPreviewPane::NextPage);
  connect(m_btnZoomIn, &QPushButton::clicked, m_wndPreview, &CPreviewPane::ZoomIn);
  connect(m_btnZoomOut, &QPushButton::clicked, m_wndPreview, &CPreviewPane::ZoomOut);
  connect(this, &CVelluminDlg::previewWheel, m_wndPreview, &CPreviewPane::WheelScroll);
  connect(this, &CVelluminDlg::previewArrow, m_wndPreview,
          [this](bool bDown) { m_wndPreview->ScrollBy(bDown ? CPreviewPane::kLineStep : -CPreviewPane::kLineStep); });
  connect(m_wndPreview, &CPreviewPane::CurrentPageChanged, this,
          [this](int page) { m_editPage->setText(page > 0 ? QString::number(page) : QString()); });
  connect(m_wndPreview, &CPreviewPane::PreviewPressed, this, [this] { m_listFiles->setFocus(); });
}

void CVelluminDlg::LayoutControls() {
  const int w = width();
  const int h = height();

  // Caption buttons keep their distance to the right edge.
  const int captionRight = w - 8;
  m_btnClose->setGeometry(captionRight - 30, 4, 30, 24);
  m_btnMax->setGeometry(captionRight - 62, 4, 30, 24);
  m_btnRestore->setGeometry(captionRight - 62, 4, 30, 24);
  m_btnMin->setGeometry(captionRight - 94, 4, 30, 24);
  m_btnHelp->setGeometry(captionRight - 126, 4, 30, 24);

  // Left pane: buttons on top, the list growing with the window, the options at the bottom.
  m_btnAdd->setGeometry(10, 44, 104, 40);
  m_btnRemove->setGeometry(120, 44, 104, 40);
  m_btnClear->setGeometry(230, 44, 104, 40);
  m_btnConvert->setGeometry(340, 44, 112, 40);
  m_btnCancel->setGeometry(340, 44, 112, 40);

  const int processTop = h - kBottomBand - 30;
  m_lblProcess->setGeometry(12, processTop, 66, 22);
  m_progress->setGeometry(80, processTop + 3, kLeftPaneWidth - 92, 16);

  const int folderTop = processTop - 8 - 62;
  m_grpFolder->setGeometry(8, folderTop, kLeftPaneWidth - 16, 62);
  m_editOutputDir->setGeometry(10, 24, 250, 28);
  m_btnOpen->setGeometry(266, 24, 80, 28);
  m_btnBrowse->setGeometry(352, 24, 84, 28);

  const int settingTop = folderTop - 8 - 78;
  m_grpSetting->setGeometry(8, settingTop, kLeftPaneWidth - 16, 78);
  m_radAllPages->setGeometry(12, 22, 150, 22);
  m_radPageRange->setGeometry(12, 48, 116, 22);
  m_editRange->setGeometry(130, 46, 220, 26);
  m_lblInvalid->setGeometry(358, 48, 70, 22);

  const int formatTop = settingTop - 8 - 62;
  m_grpFormat->setGeometry(8, formatTop, kLeftPaneWidth - 16, 62);
  m_cboFormat->setGeometry(10, 24, 230, 28);
  m_btnApplyAll->setGeometry(248, 24, 110, 28);
  m_btnOption->setGeometry(364, 24, 72, 28);

  const int listTop = kPreviewTop;
  m_listFiles->setGeometry(8, listTop, kLeftPaneWidth - 16, std::max(80, formatTop - 10 - listTop));

  // The preview toolbar stays centred in the right pane.
  const int x = (w - 752) / 2 + 469;
  m_btnPrev->setGeometry(x, kToolbarTop, 30, 28);
  m_btnNext->setGeometry(x + 36, kToolbarTop, 30, 28);
  m_editPage->setGeometry(x + 118, kToolbarTop, 58, 28);
  m_lblPageCount->setGeometry(x + 190, kToolbarTop, 28, 28);
  m_btnZoomOut->setGeometry(x + 220, kToolbarTop, 28, 28);
  m_btnZoomIn->setGeometry(x + 251, kToolbarTop, 28, 28);

  m_wndPreview->setGeometry(PreviewAreaRect());
}

QRect CVelluminDlg::PreviewAreaRect() const {
  return QRect(QPoint(kPreviewLeft, kPreviewTop), QPoint(width() - 6 - 1, height() - kStatusStrip - 1));
}

QRect CVelluminDlg::GripRect() const { return QRect(width() - kGripSize, height() - kGripSize, kGripSize, kGripSize); }

void CVelluminDlg::ShapeWindow() {
  QRegion region(rect());
  for (int row = 0; row < 5; ++row) {
    region -= QRegion(0, row, kCornerCut[row], 1);
    region -= QRegion(width() - kCornerCut[row], row, kCornerCut[row], 1);
  }
  setMask(region);
}

void CVelluminDlg::InitOutputFolder(const QString& strDocumentsDir) {
  const std::wstring stored = m_pConfig->GetValue(L"OutputDir");
  if (!stored.empty()) {
    m_editOutputDir->setText(ToQt(stored));
    return;
  }
  if (strDocumentsDir.isEmpty()) {
    // No Documents folder is known: the edit holds the folder's name only, nothing is made.
    m_editOutputDir->setText(QLatin1String(kDefaultFolderName));
    return;
  }
  const QString folder = QDir(strDocumentsDir).filePath(QLatin1String(kDefaultFolderName));
  if (auto path = platform::ToPath(folder.toStdWString())) {
    std::error_code ec;
    std::filesystem::create_directories(*path, ec);
  }
  m_editOutputDir->setText(folder);
  if (m_pConfig->IsEnabled()) m_pConfig->SetValue(L"OutputDir", folder.toStdWString());
}

void CVelluminDlg::UpdateControlStates() {
  auto enable = [](std::initializer_list<QWidget*> widgets, bool enabled) {
    for (QWidget* widget : widgets) widget->setEnabled(enabled);
  };
  const std::initializer_list<QWidget*> toolbar = {m_btnPrev, m_btnNext, m_editPage, m_btnZoomIn, m_btnZoomOut};
  // Each job reads the output folder afresh: it cannot be edited while a batch runs, and the
  // list's menu offers nothing then.
  m_editOutputDir->setReadOnly(m_bConverting);
  m_listFiles->SetBusy(m_bConverting);

  if (m_bConverting) {
    m_btnConvert->setEnabled(false);
    m_btnConvert->hide();
    m_btnCancel->setEnabled(true);
    m_btnCancel->show();
    enable({m_btnAdd, m_btnRemove, m_btnClear, m_btnApplyAll, m_btnBrowse, m_cboFormat}, false);
    m_lblProcess->show();
    m_progress->show();
    return;
  }

  if (m_bListEmpty) {
    m_btnAdd->setEnabled(true);
    enable({m_btnRemove, m_btnClear, m_btnConvert, m_btnCancel, m_btnApplyAll, m_cboFormat}, false);
    m_btnConvert->show();
    m_btnCancel->hide();
    enable(toolbar, false);
    enable({m_radAllPages, m_radPageRange, m_editRange}, false);
    m_btnBrowse->setEnabled(true);
    m_cboFormat->setCurrentIndex(-1);
    m_lblInvalid->hide();
  } else {
    enable({m_btnAdd, m_btnClear, m_btnBrowse}, true);
    m_btnConvert->show();
    m_btnConvert->setEnabled(!m_bNoConvertibleFile);
    m_btnCancel->hide();
    m_btnCancel->setEnabled(false);
    if (!m_bHasSelection) {
      enable({m_btnRemove, m_btnApplyAll, m_cboFormat, m_radAllPages, m_radPageRange, m_editRange}, false);
      enable(toolbar, false);
      m_cboFormat->setCurrentIndex(-1);
    } else {
      enable({m_btnRemove, m_btnApplyAll, m_cboFormat}, true);
      const bool single = m_listFiles->SelectedRows().size() == 1;
      enable({m_radAllPages, m_radPageRange, m_editRange}, single);
      const CFileItem* previewed = m_fileItems.Find(m_nPreviewIndex);
      enable(toolbar, previewed && !previewed->IsLockedWithoutPassword());
    }
  }
  m_lblProcess->hide();
  m_progress->hide();
}

CVelluminDlg::CAddResult CVelluminDlg::AddFiles(const QStringList& paths, bool bDropped) {
  CAddResult result;
  QString rejected;
  int firstNewRow = -1;
  for (const QString& path : paths) {
    const int row = AdmitFile(path, bDropped, rejected, result);
    if (row >= 0 && firstNewRow < 0) firstNewRow = row;
  }
  if (result.m_nRejected > 0)
    appdlg::ShowMessageBox(this,
                           QStringLiteral("Cannot import following files because they are not normal PDF files:") +
                               rejected,
                           QStringLiteral("Error"), QMessageBox::Ok, QMessageBox::Warning);
  if (result.m_nLocked > 0) ShowEncryptTip();
  if (m_listFiles->topLevelItemCount() > 0 && firstNewRow >= 0) SelectRow(firstNewRow);
  m_listFiles->setFocus();
  return result;
}

// Returns the new row, or -1 when the file was skipped or rejected.
int CVelluminDlg::AdmitFile(const QString& path, bool bDropped, QString& rejected, CAddResult& result) {
  // A file that cannot be read (or is a folder) is skipped without a message.
  if (QFileInfo(path).isDir()) return -1;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return -1;
  const qint64 size = file.size();
  file.close();

  auto item = std::make_unique<CFileItem>();
  item->m_strPath = path.toStdWString();
  item->m_strFileName = QFileInfo(path).fileName().toStdWString();
  item->m_strSizeText = FormatSizeText(static_cast<uint64_t>(std::max<qint64>(size, 0)));
  item->m_strPageRange = L"All Pages";

  const int check = CMuInterface::CheckDocument(item->m_strPath, "", "");
  if (check >= 1 || (check == 0 && bDropped)) {
    item->m_nPageCount = check;
    if (check >= 1) item->m_pPreview = std::make_unique<CPreviewDoc>(item->m_strPath, std::string());
  } else if (check == OPEN_NEEDS_PASSWORD) {
    item->m_bLocked = true;
  } else {
    rejected += QStringLiteral("\n    \"") + path + QLatin1Char('"');
    ++result.m_nRejected;
    return -1;
  }

  item->m_nIndex = m_fileItems.Count() + 1;
  item->m_nKind = KIND_POWERPOINT;
  item->m_nStatus = ITEM_ADDED;
  item->m_strStatusText = GetKindName(item->m_nKind);
  const bool locked = item->m_bLocked;
  const int row = m_listFiles->AddRow(locked, ToQt(item->m_strFileName), ToQt(item->m_strSizeText),
                                      check < 0 ? QStringLiteral("Unknown") : QString::number(check),
                                      ToQt(item->m_strStatusText));
  m_fileItems.Append(std::move(item));
  ++result.m_nAdded;
  if (locked) ++result.m_nLocked;

  m_bListEmpty = false;
  if (!locked) m_bNoConvertibleFile = false;
  UpdateControlStates();
  return row;
}

void CVelluminDlg::OnBtnAdd() {
  const QStringList paths = appdlg::ChooseOpenFiles(this);
  if (paths.isEmpty()) return;
  AddFiles(paths, false);
}

void CVelluminDlg::OnDropFiles(const QStringList& paths) {
  if (m_bConverting) return;
  QStringList pdfs;
  for (const QString& path : paths)
    if (path.endsWith(QStringLiteral(".pdf"), Qt::CaseSensitive)) pdfs << path;
  AddFiles(pdfs, true);
}

bool CVelluminDlg::AllItemsLockedWithoutPassword() {
  const int count = m_fileItems.Count();
  for (int i = 1; i <= count; ++i) {
    const CFileItem* item = m_fileItems.Find(i);
    if (item && !item->IsLockedWithoutPassword()) return false;
  }
  return true;
}

void CVelluminDlg::OnBtnRemove() {
  // Removing items renumbers them: never while a job carries an item's index.
  if (m_bConverting || m_listFiles->FirstSelectedRow() < 0) return;
  // The pane may show an item about to go.
  m_wndPreview->Reset();
  for (int row = m_listFiles->FirstSelectedRow(); row >= 0; row = m_listFiles->FirstSelectedRow()) {
    m_listFiles->RemoveRow(row);
    m_fileItems.RemoveAt(row + 1);
  }
  m_listFiles->RenumberRows();
  m_fileItems.Renumber();
  m_bHasSelection = false;
  const int left = m_fileItems.Count();
  m_bListEmpty = left == 0;
  m_bNoConvertibleFile = AllItemsLockedWithoutPassword();
  // The old preview index may now name another item (or none): show afresh.
  m_nPreviewIndex = 0;
  if (left > 0) {
    SelectRow(0);
  } else {
    ResetPreview();
    UpdateControlStates();
  }
}

void CVelluminDlg::OnBtnClear() {
  if (m_bConverting) return;
  m_wndPreview->Reset();
  m_listFiles->clear();
  m_fileItems.Clear();
  m_bListEmpty = true;
  m_bHasSelection = false;
  m_bNoConvertibleFile = false;
  m_nPreviewIndex = 0;
  ResetPreview();
  UpdateControlStates();
}

void CVelluminDlg::SelectRow(int nRow) {
  m_listFiles->SelectRowAlone(nRow);
  OnListItemEvent(nRow, LIST_EVENT_SELECTED);
}

void CVelluminDlg::OnListItemEvent(int nRow, int nCause) {
  if (nRow < 0) {
    m_bHasSelection = false;
    UpdateControlStates();
    return;
  }
  m_bHasSelection = true;
  ShowItemInPreview(nRow + 1);
  if (const CFileItem* item = m_fileItems.Find(nRow + 1)) ShowItemOptions(*item);
  UpdateControlStates();

  if (nCause == LIST_EVENT_FIRST_COLUMN) {
    // The lock icon of the current row asks for its password; not while a batch runs, whose
    // jobs would otherwise meet files changing under them.
    if (!m_bConverting && m_listFiles->currentItem() && m_listFiles->IsRowLocked(nRow) && InputPassword(nRow + 1)) {
      m_bNoConvertibleFile = false;
      UpdateControlStates();
    }
  } else if (nCause == LIST_EVENT_STATUS_COLUMN) {
    OnStatusClicked(nRow + 1);
  }
}

void CVelluminDlg::OnStatusClicked(int nIndex) {
  const CFileItem* item = m_fileItems.Find(nIndex);
  if (!item || item->m_nStatus != ITEM_DONE || item->m_strOutputPath.empty()) return;
  // A double click must not open the file twice.
  const qint64 now = m_fnNowMs();
  if (m_nOpenedAtMs >= 0 && now - m_nOpenedAtMs < kOpenPauseMs) return;
  if (QDesktopServices::openUrl(QUrl::fromLocalFile(ToQt(item->m_strOutputPath)))) m_nOpenedAtMs = now;
}

void CVelluminDlg::ShowItemOptions(const CFileItem& item) {
  m_cboFormat->setCurrentIndex(item.m_nKind == KIND_TEXT ? 1 : 0);
  if (item.m_strPageRange == L"All Pages") {
    m_editRange->clear();
    m_radAllPages->setChecked(true);
    m_radPageRange->setChecked(false);
  } else {
    m_radPageRange->setChecked(true);
    m_radAllPages->setChecked(false);
    m_editRange->setText(ToQt(item.m_strPageRange));
  }
}

QString CVelluminDlg::PagesCellText(const CFileItem& item) {
  if (item.IsLockedWithoutPassword()) return QStringLiteral("Unknown");
  if (MeansAllPages(item.m_strPageRange)) return QString::number(item.m_nPageCount);
  return QStringLiteral("Part");
}

void CVelluminDlg::ShowItemInPreview(int nIndex) {
  if (nIndex == m_nPreviewIndex) return;
  // A range typed for the item shown so far is its own, even when the focus never left the
  // edit (a drop, a batch moving on): hand it over before the controls show another item.
  if (m_editRange->isModified()) CommitRangeEdit(false);
  m_nPreviewIndex = nIndex;
  CFileItem* item = m_fileItems.Find(nIndex);
  if (!item) {
    ResetPreview();
    return;
  }
  m_lblPageCount->setText(item->IsLockedWithoutPassword() ? QString()
                                                          : QStringLiteral("/ %1").arg(item->m_nPageCount));
  if (item->IsLockedWithoutPassword() || !item->m_pPreview) {
    m_wndPreview->ShowItem(nullptr);
    m_editPage->clear();
    return;
  }
  m_wndPreview->ShowItem(item->m_pPreview.get());
}

void CVelluminDlg::ResetPreview() {
  m_wndPreview->Reset();
  m_lblPageCount->clear();
  m_editPage->clear();
}

void CVelluminDlg::OnPageEditKillFocus() {
  if (m_wndPreview->Doc()) m_wndPreview->GoToPage(m_editPage->text().trimmed().toInt());
}

void CVelluminDlg::ShowEncryptTip() {
  const std::wstring show = m_pConfig->GetValue(L"ShowEncryptedTip");
  if (!show.empty() && show != L"YES") return;
  CEncryptTipDlg tip(this);
  if (tip.exec() == QDialog::Accepted && tip.IsDontShowChecked() && m_pConfig->IsEnabled())
    m_pConfig->SetValue(L"ShowEncryptedTip", L"NO");
}

bool CVelluminDlg::InputPassword(int nIndex) {
  CFileItem* item = m_fileItems.Find(nIndex);
  if (!item) return false;
  CInputPasswordDlg dialog(this);
  if (dialog.exec() != QDialog::Accepted) return false;
  const QString password = dialog.Password();
  const std::string utf8 = password.toStdString();
  const int pages = CMuInterface::CheckDocument(item->m_strPath, utf8, utf8);
  if (pages < 1) return false;

  // The pane never shows a locked item, but let go of any state before replacing it.
  if (m_nPreviewIndex == nIndex) m_wndPreview->Reset();
  m_fileItems.SetPasswordAndPages(nIndex, password.toStdWString(), pages);
  item->m_pPreview = std::make_unique<CPreviewDoc>(item->m_strPath, utf8);
  const int row = nIndex - 1;
  m_listFiles->SetRowLocked(row, false);
  m_listFiles->RenumberRows();
  m_listFiles->SetPagesText(row, PagesCellText(*item));
  // Show the item afresh, now with its pages.
  m_nPreviewIndex = 0;
  ShowItemInPreview(nIndex);
  m_listFiles->setFocus();
  return true;
}

int CVelluminDlg::KindOfBoxIndex(int nIndex) { return nIndex == 1 ? KIND_TEXT : KIND_POWERPOINT; }

void CVelluminDlg::SetItemStatus(CFileItem& item, int nStatus, const std::wstring& strText,
                                 const std::wstring& strOutputName) {
  item.m_nStatus = nStatus;
  item.m_strStatusText = strText;
  m_listFiles->SetStatusText(item.m_nIndex - 1, ToQt(strText), ToQt(strOutputName));
}

void CVelluminDlg::SetItemKind(CFileItem& item, int nKind) {
  // Any new kind also drops the finished output's name: the row offers the kind again.
  item.m_nKind = nKind;
  SetItemStatus(item, ITEM_ADDED, GetKindName(nKind));
}

void CVelluminDlg::OnFormatChanged(int nIndex) {
  if (m_bConverting || nIndex < 0) return;
  const int kind = KindOfBoxIndex(nIndex);
  for (int row : m_listFiles->SelectedRows())
    if (CFileItem* item = m_fileItems.Find(row + 1)) SetItemKind(*item, kind);
  UpdateControlStates();
  m_wndPreview->update();
}

void CVelluminDlg::OnBtnApplyAll() {
  const int index = m_cboFormat->currentIndex();
  if (m_bConverting || index < 0) return;
  const int kind = KindOfBoxIndex(index);
  const int count = m_fileItems.Count();
  for (int i = 1; i <= count; ++i)
    if (CFileItem* item = m_fileItems.Find(i)) SetItemKind(*item, kind);
}

void CVelluminDlg::OnRadAllPages() {
  m_editRange->clear();
  for (int row : m_listFiles->SelectedRows()) {
    if (CFileItem* item = m_fileItems.Find(row + 1)) {
      item->m_strPageRange = L"All Pages";
      m_listFiles->SetPagesText(row, PagesCellText(*item));
    }
  }
}

void CVelluminDlg::OnRadPageRange() { m_editRange->setFocus(); }

void CVelluminDlg::OnRangeTextChanged(const QString& text) {
  if (!text.isEmpty()) {
    m_radPageRange->setChecked(true);
    m_radAllPages->setChecked(false);
  }
  const CFileItem* item = m_fileItems.Find(m_nPreviewIndex);
  const int pages = item ? item->m_nPageCount : 0;
  m_lblInvalid->setVisible(!CheckPageRange(text.toStdWString(), pages));
}

void CVelluminDlg::SetItemAllPages(CFileItem& item, bool bFocusRadio) {
  item.m_strPageRange = L"All Pages";
  m_editRange->clear();
  m_radAllPages->setChecked(true);
  m_radPageRange->setChecked(false);
  m_lblInvalid->hide();
  m_listFiles->SetPagesText(item.m_nIndex - 1, PagesCellText(item));
  // Moved once the focus change under way has finished.
  if (bFocusRadio) QTimer::singleShot(0, m_radAllPages, [radio = m_radAllPages] { radio->setFocus(); });
}

void CVelluminDlg::OnRangeEditKillFocus() { CommitRangeEdit(true); }

// The previewed item takes the text: empty means all pages, a valid range is kept as typed,
// an invalid one asks the user (after the focus change or the command under way has finished).
bool CVelluminDlg::CommitRangeEdit(bool bFocusLost) {
  CFileItem* item = m_fileItems.Find(m_nPreviewIndex);
  if (!item) return true;
  const QString text = m_editRange->text();
  if (text.isEmpty()) {
    SetItemAllPages(*item, bFocusLost);
  } else if (CheckPageRange(text.toStdWString(), item->m_nPageCount)) {
    item->m_strPageRange = text.toStdWString();
    m_listFiles->SetPagesText(item->m_nIndex - 1, PagesCellText(*item));
  } else {
    if (!m_bRangeBoxPending) {
      m_bRangeBoxPending = true;
      const int index = item->m_nIndex;
      QTimer::singleShot(0, this, [this, index, text] { OnInvalidRangeLeft(index, text); });
    }
    return false;
  }
  m_editRange->setModified(false);
  return true;
}

// `strText` is the invalid text item nIndex was left with. The item keeps its earlier range
// until the user puts the text right or gives it all pages.
void CVelluminDlg::OnInvalidRangeLeft(int nIndex, const QString& strText) {
  const CFileItem* left = m_fileItems.Find(nIndex);
  // The text may have been put right, or the item gone, since it was left.
  if (!left || (nIndex == m_nPreviewIndex &&
                CheckPageRange(m_editRange->text().toStdWString(), left->m_nPageCount))) {
    m_bRangeBoxPending = false;
    return;
  }
  const int answer = appdlg::ShowMessageBox(this, QString::fromLatin1(kInvalidRangeText), QStringLiteral("Error"),
                                            QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Warning);
  m_bRangeBoxPending = false;
  // The box ran an event loop: find the item again, and whether the controls still show it.
  CFileItem* item = m_fileItems.Find(nIndex);
  if (!item) return;
  if (nIndex == m_nPreviewIndex) {
    if (answer == QMessageBox::Ok)
      m_editRange->setFocus();
    else
      SetItemAllPages(*item, false);
    return;
  }
  // The controls moved on to another item: Cancel gives the item all pages without touching
  // them; OK shows the item again with its text to put right, unless a batch holds the list.
  if (answer != QMessageBox::Ok) {
    item->m_strPageRange = L"All Pages";
    m_listFiles->SetPagesText(nIndex - 1, PagesCellText(*item));
  } else if (!m_bConverting) {
    SelectRow(nIndex - 1);
    m_editRange->setText(strText);
    m_editRange->setModified(true);
    m_editRange->setFocus();
  }
}

bool CVelluminDlg::IsExistingFolder(const QString& strFolder) {
  return !strFolder.isEmpty() && QDir::isAbsolutePath(strFolder) && QFileInfo(strFolder).isDir();
}

void CVelluminDlg::OnBtnBrowse() {
  const QString folder = appdlg::ChooseFolder(this, QStringLiteral("Select Output Directory"), m_editOutputDir->text());
  if (folder.isEmpty()) return;
  const QString native = QDir::toNativeSeparators(folder);
  m_editOutputDir->setText(native);
  if (m_pConfig->IsEnabled()) m_pConfig->SetValue(L"OutputDir", native.toStdWString());
}

void CVelluminDlg::OnBtnOpen() {
  const QString folder = m_editOutputDir->text();
  if (!IsExistingFolder(folder)) {
    appdlg::ShowMessageBox(this, QString::fromLatin1(kNoFolderText), QStringLiteral("Error"), QMessageBox::Ok,
                           QMessageBox::Warning);
    return;
  }
  QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

void CVelluminDlg::OnBtnConvert() {
  if (m_bConverting || !m_pConverter) return;
  // A range typed but not handed over yet (the focus never left the edit) belongs to this
  // batch; an invalid one stops it here, with its box.
  if (m_editRange->isModified() && !CommitRangeEdit(false)) return;
  if (!IsExistingFolder(m_editOutputDir->text())) {
    appdlg::ShowMessageBox(this, QString::fromLatin1(kNoFolderText), QStringLiteral("ERROR"), QMessageBox::Ok,
                           QMessageBox::Warning);
    return;
  }
  m_bConverting = true;
  m_bCancelRequested = false;
  const int count = m_fileItems.Count();
  for (int i = 1; i <= count; ++i)
    if (CFileItem* item = m_fileItems.Find(i)) SetItemStatus(*item, ITEM_WAITING, L"Waiting...");
  BuildNextJob(1);
  UpdateControlStates();
}

void CVelluminDlg::OnBtnCancel() {
  // The batch ends when the worker reports the cancelled job.
  if (!m_bConverting || !m_pConverter) return;
  m_bCancelRequested = true;
  m_pConverter->CancelJobs();
}

void CVelluminDlg::EndBatch() {
  m_bConverting = false;
  m_bCancelRequested = false;
  UpdateControlStates();
}

void CVelluminDlg::BuildNextJob(int nIndex) {
  m_progress->setValue(0);
  CFileItem* item = m_fileItems.Find(nIndex);
  if (!item || !m_pConverter) {
    EndBatch();
    return;
  }
  SelectRow(nIndex - 1);

  // Files still locked are passed over.
  while (item->IsLockedWithoutPassword()) {
    SetItemStatus(*item, ITEM_SKIPPED, L"Skipped");
    item = m_fileItems.Find(++nIndex);
    if (!item) {
      EndBatch();
      return;
    }
    SelectRow(nIndex - 1);
  }
  m_nCurJobIndex = nIndex;

  // Reported as the worker would, later, so that the batch never recurses: the file fails
  // with its reason and the batch goes on.
  auto failLater = [this, nIndex](const QString& strReason) {
    QTimer::singleShot(0, this, [this, nIndex, reason = strReason.toStdWString()] {
      CConvertNotify notify;
      notify.m_nItemIndex = nIndex;
      notify.m_nNotifyType = NOTIFY_FAILED;
      notify.m_pszMessage = reason.c_str();
      OnConvertNotify(notify);
    });
  };
  // The folder is read afresh for every job and must still exist, as typed, now: otherwise
  // an emptied or relative text would send the output somewhere the user never chose.
  const QString folder = m_editOutputDir->text();
  if (!IsExistingFolder(folder)) {
    failLater(QString::fromLatin1(kNoFolderText));
    return;
  }

  CConvertJob job;
  job.m_strInputPath = item->m_strPath;
  job.m_strOutputPath = MakeUniqueOutputPath(folder.toStdWString(), item->m_strFileName, item->m_nKind);
  item->m_strOutputPath = job.m_strOutputPath;
  item->m_strOutputName = ToQt(job.m_strOutputPath).section(QLatin1Char('/'), -1).toStdWString();
  job.m_vecPages = GetPageList(item->m_strPageRange, item->m_nPageCount);
  if (item->m_bLocked) {
    job.m_strUserPassword = QString::fromStdWString(item->m_strUserPassword).toStdString();
    job.m_strOwnerPassword = QString::fromStdWString(item->m_strOwnerPassword).toStdString();
  }
  job.m_nKind = item->m_nKind;
  job.m_nWriterMode = item->m_nWriterMode;
  job.m_nImageDpi = item->m_nKind == KIND_IMAGE ? item->m_nImageDpi : 0;
  if (item->m_nKind == KIND_EXCEL || item->m_nKind == KIND_CSV) {
    const int set = item->m_nKind == KIND_EXCEL ? 0 : 1;
    std::copy(std::begin(item->m_arrSheetOptions[set]), std::end(item->m_arrSheetOptions[set]),
              job.m_arrSheetOptions.begin());
  }
  job.m_nItemIndex = nIndex;

  if (job.m_strOutputPath.empty()) {
    // No free name (or the folder kind's folder could not be made).
    failLater(QStringLiteral("No output name is free in the output folder."));
    return;
  }
  m_pConverter->AddJobs({job});
}

void CVelluminDlg::OnConvertNotify(const CConvertNotify& notify) {
  auto setProgress = [this](int value) {
    if (value >= m_progress->minimum() && value <= m_progress->maximum()) m_progress->setValue(value);
  };
  const QString message = notify.m_pszMessage ? QString::fromWCharArray(notify.m_pszMessage) : QString();
  switch (notify.m_nNotifyType) {
    case NOTIFY_PROGRESS:
      if (notify.m_nItemIndex == m_nCurJobIndex) setProgress(static_cast<int>(notify.m_fProgress * 100.0f));
      break;
    case NOTIFY_CANCELLED:
      EndBatch();
      break;
    case NOTIFY_DONE:
    case NOTIFY_FAILED: {
      setProgress(100);
      if (!m_bConverting || notify.m_nItemIndex != m_nCurJobIndex) return;
      CFileItem* item = m_fileItems.Find(notify.m_nItemIndex);
      if (item) {
        if (notify.m_nNotifyType == NOTIFY_DONE)
          SetItemStatus(*item, ITEM_DONE, FormatDoneText(item->m_strOutputName), item->m_strOutputName);
        else
          SetItemStatus(*item, ITEM_FAILED, L"Failed");
        // Why it failed, or what a finished file warns about (pages left blank).
        m_listFiles->SetStatusTip(item->m_nIndex - 1, message);
      }
      m_progress->repaint();
      // A Cancel pressed while this job was finishing still ends the batch.
      if (m_bCancelRequested)
        EndBatch();
      else
        BuildNextJob(notify.m_nItemIndex + 1);
      return;
    }
    default:
      return;
  }
  m_progress->repaint();
}

void CVelluminDlg::OnBtnHelp() {
  m_menuHelp->popup(m_btnHelp->mapToGlobal(QPoint(0, m_btnHelp->height())));
}

void CVelluminDlg::OnBtnMin() { showMinimized(); }

void CVelluminDlg::OnBtnMax() {
  m_rcNormal = geometry();
  m_btnMax->hide();
  m_btnRestore->show();
  if (QScreen* current = screen()) setGeometry(current->availableGeometry());
}

void CVelluminDlg::OnBtnRestore() {
  m_btnRestore->hide();
  m_btnMax->show();
  if (m_rcNormal.isValid()) setGeometry(m_rcNormal);
}

void CVelluminDlg::OnTechnicalSupport() { QDesktopServices::openUrl(QUrl(QLatin1String(kHowToUrl))); }

void CVelluminDlg::OnVisitProductPage() { QDesktopServices::openUrl(QUrl(QLatin1String(kProductUrl))); }

void CVelluminDlg::OnCheckForUpdate() { m_dlgUpdate->ShowAndCheck(); }

void CVelluminDlg::OnQuitRequested() {
  StopConverter();
  m_bConverting = false;
  close();
}

void CVelluminDlg::OnAbout() {
  m_dlgAbout->adjustSize();
  m_dlgAbout->move(geometry().center() - QPoint(m_dlgAbout->width() / 2, m_dlgAbout->height() / 2));
  m_dlgAbout->show();
  m_dlgAbout->raise();
}

bool CVelluminDlg::IsInThisWindow(QObject* object) const {
  auto* widget = qobject_cast<QWidget*>(object);
  return widget && widget->window() == this;
}

// Rules that hold before any widget sees the input.
bool CVelluminDlg::eventFilter(QObject* watched, QEvent* event) {
  if (!IsInThisWindow(watched)) return false;
  switch (event->type()) {
    case QEvent::KeyPress: {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter) {
        m_listFiles->setFocus();
        return true;
      }
      break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      auto* widget = static_cast<QWidget*>(watched);
      if (m_lblInvalid->isVisible() && widget != m_editRange && !m_editRange->isAncestorOf(widget)) {
        m_listFiles->setFocus();
        return true;
      }
      if (widget == m_listFiles->viewport()) {
        const QPoint pos = static_cast<QMouseEvent*>(event)->position().toPoint();
        if (!m_listFiles->itemAt(pos)) {
          // The list never loses its selection to a click on its empty part.
          if (m_nPreviewIndex > 0) m_listFiles->SelectRowAlone(m_nPreviewIndex - 1);
          return true;
        }
      }
      break;
    }
    case QEvent::FocusOut: {
      // Leaving a window (another program, a popup) is not leaving the edit.
      const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
      if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) break;
      if (watched == m_editRange)
        OnRangeEditKillFocus();
      else if (watched == m_editPage)
        OnPageEditKillFocus();
      break;
    }
    case QEvent::Wheel: {
      auto* widget = static_cast<QWidget*>(watched);
      const bool overList = widget == m_listFiles || m_listFiles->isAncestorOf(widget);
      if (!overList && m_listFiles->hasFocus()) {
        emit previewWheel(static_cast<QWheelEvent*>(event)->angleDelta().y());
        return true;
      }
      break;
    }
    default:
      break;
  }
  return false;
}

void CVelluminDlg::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const int w = width();
  const int h = height();
  p.fillRect(rect(), skin::kBackground);

  // Caption band with the program's picture and title.
  QLinearGradient caption(0, 0, 0, kCaptionHeight);
  caption.setColorAt(0, skin::kCaptionTop);
  caption.setColorAt(1, skin::kCaptionBottom);
  p.fillRect(QRect(0, 0, w, kCaptionHeight), caption);
  p.drawPixmap(QRect(10, 6, 20, 20), skin::AppPixmap(40));
  p.setFont(m_fontBig);
  p.setPen(Qt::white);
  p.drawText(QRect(38, 0, 300, kCaptionHeight), Qt::AlignVCenter | Qt::AlignLeft, windowTitle());

  // Right pane: the band above the preview and the strip under it.
  QLinearGradient band(0, kCaptionHeight, 0, kPreviewTop);
  band.setColorAt(0, QColor(250, 251, 252));
  band.setColorAt(1, QColor(232, 236, 240));
  p.fillRect(QRect(kLeftPaneWidth + 6, kCaptionHeight, w - kLeftPaneWidth - 6, kPreviewTop - kCaptionHeight), band);
  p.fillRect(QRect(kPreviewLeft, h - kStatusStrip, w - kPreviewLeft, kStatusStrip), QColor(232, 236, 240));

  // Separators of the left pane and its bottom band.
  p.fillRect(QRect(kLeftPaneWidth, kCaptionHeight, 6, h - kCaptionHeight), QColor(226, 230, 234));
  p.setPen(QColor(205, 211, 217));
  p.drawLine(kLeftPaneWidth, kCaptionHeight, kLeftPaneWidth, h);
  p.drawLine(kLeftPaneWidth + 5, kCaptionHeight, kLeftPaneWidth + 5, h);
  p.drawLine(8, 90, kLeftPaneWidth - 8, 90);
  p.fillRect(QRect(0, h - kBottomBand + 4, kLeftPaneWidth, kBottomBand - 4), QColor(236, 239, 242));

  // Frame: left, right and bottom borders.
  p.setPen(skin::kCaptionBottom);
  p.drawLine(0, kCaptionHeight, 0, h - 1);
  p.drawLine(w - 1, kCaptionHeight, w - 1, h - 1);
  p.drawLine(0, h - 1, w - 1, h - 1);

  // Resize grip: three diagonal rows of dots.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(150, 158, 168));
  const QRect grip = GripRect();
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j <= i; ++j) p.drawRect(grip.right() - 3 - 4 * j, grip.bottom() - 3 - 4 * (2 - i) + 0, 2, 2);
}

void CVelluminDlg::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  LayoutControls();
  ShapeWindow();
}

void CVelluminDlg::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QDialog::mousePressEvent(event);
  const QPoint pos = event->position().toPoint();
  m_ptDragStart = event->globalPosition().toPoint();
  m_rcDragStart = geometry();
  if (GripRect().contains(pos)) {
    m_eDrag = EDrag::Resize;
    grabMouse(Qt::SizeFDiagCursor);
  } else if (pos.y() < kDragHeight) {
    // The window manager moves the window where it can; otherwise we follow the mouse.
    if (!(windowHandle() && windowHandle()->startSystemMove())) m_eDrag = EDrag::Move;
  }
  event->accept();
}

void CVelluminDlg::mouseMoveEvent(QMouseEvent* event) {
  const QPoint delta = event->globalPosition().toPoint() - m_ptDragStart;
  if (m_eDrag == EDrag::Move) {
    move(m_rcDragStart.topLeft() + delta);
  } else if (m_eDrag == EDrag::Resize) {
    resize(std::max(m_rcDragStart.width() + delta.x(), m_sizeStartup.width()),
           std::max(m_rcDragStart.height() + delta.y(), m_sizeStartup.height()));
  } else if (GripRect().contains(event->position().toPoint())) {
    setCursor(Qt::SizeFDiagCursor);
  } else {
    unsetCursor();
  }
}

void CVelluminDlg::mouseReleaseEvent(QMouseEvent* event) {
  if (m_eDrag == EDrag::Resize) releaseMouse();
  m_eDrag = EDrag::None;
  QDialog::mouseReleaseEvent(event);
}
