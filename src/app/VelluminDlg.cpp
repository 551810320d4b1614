// CVelluminDlg, the window itself: construction and start-up, the controls and their layout,
// the drawn frame (caption, drag, resize grip, caption buttons, Help menu, About), the
// keyboard and mouse rules that hold across the window, the enabled state of the controls,
// and shutdown. The file list, the output options and the batch have their own files.
#include "app/VelluminDlg.h"

#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStandardPaths>
#include <QUrl>
#include <QWindow>
#include <algorithm>
#include <chrono>

#include "app/AboutDlg.h"
#include "app/ListCtrlEx.h"
#include "app/Skin.h"
#include "app/VelluminDlgInternal.h"
#include "app/preview/PreviewPane.h"
#include "driver/Converter.h"
#include "platform/ProgramDir.h"
#include "settings/ConfigFile.h"
#include "update/DownloadDlg.h"

namespace {

using vellumindlg::ToQt;

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

const char* const kHowToUrl = "https://www.tessaly.com/pagevane/how-to.html";
const char* const kProductUrl = "https://www.tessaly.com/pagevane/";

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
