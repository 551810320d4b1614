#include "app/preview/PreviewPane.h"

#include <QResizeEvent>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>
#include <cmath>
#include <limits>

#include "app/preview/PDFPreview.h"
#include "app/preview/PreviewDoc.h"

namespace {

// `value` as an int, limited to 0 .. INT_MAX: bar values come from page sizes in a file.
int ToBarInt(double value) {
  return static_cast<int>(std::clamp(value, 0.0, static_cast<double>(std::numeric_limits<int>::max())));
}

bool IsStep(int action) {
  return action == QAbstractSlider::SliderSingleStepAdd || action == QAbstractSlider::SliderSingleStepSub ||
         action == QAbstractSlider::SliderPageStepAdd || action == QAbstractSlider::SliderPageStepSub;
}

}  // namespace

CPreviewPane::CPreviewPane(QWidget* parent)
    : QWidget(parent),
      m_pPreview(new CPDFPreview(this)),
      m_pVBar(new QScrollBar(Qt::Vertical, this)),
      m_pHBar(new QScrollBar(Qt::Horizontal, this)) {
  m_pVBar->hide();
  m_pHBar->hide();
  connect(m_pPreview, &CPDFPreview::WheelTurned, this, &CPreviewPane::WheelScroll);
  connect(m_pPreview, &CPDFPreview::MousePressed, this, &CPreviewPane::PreviewPressed);
  for (QScrollBar* bar : {m_pVBar, m_pHBar}) {
    const Qt::Orientation orientation = bar->orientation();
    connect(bar, &QScrollBar::actionTriggered, this, [this, orientation](int action) { OnBarAction(orientation, action); });
    connect(bar, &QScrollBar::valueChanged, this, [this, orientation](int value) { OnBarValue(orientation, value); });
  }
  m_viewport = size();
  m_pPreview->setGeometry(rect());
}

int CPreviewPane::CurrentPage() const { return m_pDoc ? m_pDoc->CurrentPage(m_viewport.height()) : 0; }

void CPreviewPane::Reset() {
  m_pDoc = nullptr;
  LayoutBars();
  m_pPreview->SetImage(QImage());
}

void CPreviewPane::ShowItem(CPreviewDoc* doc) {
  m_pDoc = doc && doc->PageCount() > 0 ? doc : nullptr;
  if (!m_pDoc) {
    Reset();
    return;
  }
  m_pDoc->FitToWidth(size(), style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_pVBar));
  LayoutBars();
  SyncBars();
  Compose();
}

void CPreviewPane::ZoomIn() {
  if (!m_pDoc) return;
  // The bars keep their relative positions across a bar appearing or going.
  const QPointF fractions = m_pDoc->BarFractions(m_viewport);
  m_pDoc->ZoomBy(CPreviewDoc::kZoomStep, m_viewport);
  LayoutBars();
  m_pDoc->SetBarFractions(fractions, m_viewport);
  SyncBars();
  Compose();
}

void CPreviewPane::ZoomOut() {
  if (!m_pDoc) return;
  // The bars keep their relative positions across a bar appearing or going.
  const QPointF fractions = m_pDoc->BarFractions(m_viewport);
  m_pDoc->ZoomBy(-CPreviewDoc::kZoomStep, m_viewport);
  LayoutBars();
  m_pDoc->SetBarFractions(fractions, m_viewport);
  SyncBars();
  Compose();
}

void CPreviewPane::PrevPage() {
  if (m_pDoc) GoToPage(CurrentPage() - 1);
}

void CPreviewPane::NextPage() {
  if (m_pDoc) GoToPage(CurrentPage() + 1);
}

void CPreviewPane::GoToPage(int n) {
  if (!m_pDoc) return;
  m_pDoc->GoToPage(n, m_viewport);
  SyncBars();
  Compose();
}

void CPreviewPane::ScrollBy(int pixels) {
  if (!m_pDoc) return;
  m_pDoc->ScrollBy(pixels, m_viewport);
  SyncBars();
  Compose();
}

void CPreviewPane::WheelScroll(int delta) { ScrollBy(-(delta / 4)); }

void CPreviewPane::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // The zoom stays; each bar keeps its relative position in its new range.
  const QPointF fractions = m_pDoc ? m_pDoc->BarFractions(m_viewport) : QPointF();
  LayoutBars();
  if (!m_pDoc) return;
  m_pDoc->SetBarFractions(fractions, m_viewport);
  SyncBars();
  Compose();
}

void CPreviewPane::LayoutBars() {
  const QSize full = size();
  const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_pVBar);
  bool needV = false, needH = false;
  if (m_pDoc) {
    // Whole pixels decide, so a strip fitted exactly to the viewport gets no bar.
    const double total = std::round(m_pDoc->m_dTotalHeight);
    const double widest = std::round(m_pDoc->m_dWidestPage);
    needV = total > full.height();
    needH = widest > full.width() - (needV ? extent : 0);
    if (needH && !needV) needV = total > full.height() - extent;
  }
  m_viewport = QSize(std::max(full.width() - (needV ? extent : 0), 0), std::max(full.height() - (needH ? extent : 0), 0));
  m_pPreview->setGeometry(0, 0, m_viewport.width(), m_viewport.height());
  m_pVBar->setGeometry(m_viewport.width(), 0, extent, m_viewport.height());
  m_pHBar->setGeometry(0, m_viewport.height(), m_viewport.width(), extent);
  m_pVBar->setVisible(needV);
  m_pHBar->setVisible(needH);
  if (m_pDoc) m_pDoc->ClampOffsets(m_viewport);
  if (!needV || !needH) {
    m_bSyncing = true;
    if (!needV) m_pVBar->setRange(0, 0);
    if (!needH) m_pHBar->setRange(0, 0);
    m_bSyncing = false;
  }
}

int CPreviewPane::ToBar(const BarScale& scale, double offset) const {
  if (offset >= scale.m_dSpare) return ToBarInt(std::ceil(scale.m_dSpare / scale.m_nK));
  return ToBarInt(std::round(offset / scale.m_nK));
}

double CPreviewPane::FromBar(const BarScale& scale, QScrollBar* bar, int value) const {
  // The last position reaches the very end, whatever k rounded away.
  if (value >= bar->maximum()) return scale.m_dSpare;
  return std::min(static_cast<double>(value) * scale.m_nK, scale.m_dSpare);
}

void CPreviewPane::SyncBars() {
  if (!m_pDoc) return;
  m_bSyncing = true;
  struct Axis {
    QScrollBar* bar;
    BarScale& scale;
    double content, viewport, offset;
  };
  for (Axis axis : {Axis{m_pVBar, m_vScale, m_pDoc->m_dTotalHeight, double(m_viewport.height()), m_pDoc->m_dOffsetY},
                    Axis{m_pHBar, m_hScale, m_pDoc->m_dWidestPage, double(m_viewport.width()), m_pDoc->m_dOffsetX}}) {
    if (axis.bar->isHidden()) continue;
    // k in double first: content from hostile page sizes can pass what an int holds.
    axis.scale.m_nK = std::max(1, ToBarInt(std::ceil(axis.content / kBarLimit)));
    axis.scale.m_dSpare = std::max(axis.content - axis.viewport, 0.0);
    const int k = axis.scale.m_nK;
    axis.bar->setRange(0, ToBarInt(std::ceil(axis.scale.m_dSpare / k)));
    axis.bar->setPageStep(std::max(1, static_cast<int>(axis.viewport) / k));
    axis.bar->setSingleStep(std::max(1, kLineStep / k));
    axis.bar->setValue(ToBar(axis.scale, axis.offset));
  }
  m_bSyncing = false;
}

void CPreviewPane::OnBarAction(Qt::Orientation orientation, int action) {
  if (!m_pDoc || !IsStep(action)) return;
  // Steps are taken in pixels, so a scaled bar still moves 30 pixels a line.
  const bool vertical = orientation == Qt::Vertical;
  QScrollBar* bar = vertical ? m_pVBar : m_pHBar;
  const BarScale& scale = vertical ? m_vScale : m_hScale;
  const double line = kLineStep;
  const double page = vertical ? m_viewport.height() : m_viewport.width();
  double step = 0;
  switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: step = line; break;
    case QAbstractSlider::SliderSingleStepSub: step = -line; break;
    case QAbstractSlider::SliderPageStepAdd: step = page; break;
    default: step = -page; break;
  }
  double& offset = vertical ? m_pDoc->m_dOffsetY : m_pDoc->m_dOffsetX;
  offset = std::clamp(offset + step, 0.0, scale.m_dSpare);
  const int position = ToBar(scale, offset);
  bar->setSliderPosition(position);
  // An unchanged position brings no valueChanged: compose here.
  if (position == bar->value()) Compose();
}

void CPreviewPane::OnBarValue(Qt::Orientation orientation, int value) {
  if (m_bSyncing || !m_pDoc) return;
  const bool vertical = orientation == Qt::Vertical;
  QScrollBar* bar = vertical ? m_pVBar : m_pHBar;
  const BarScale& scale = vertical ? m_vScale : m_hScale;
  double& offset = vertical ? m_pDoc->m_dOffsetY : m_pDoc->m_dOffsetX;
  // A step already placed the offset to the pixel; only a foreign value (drag, end keys)
  // is read back from the bar.
  if (ToBar(scale, offset) != value) offset = FromBar(scale, bar, value);
  Compose();
}

void CPreviewPane::Compose() {
  if (!m_pDoc) {
    m_pPreview->SetImage(QImage());
    return;
  }
  int page = 0;
  m_pPreview->SetImage(m_pDoc->Compose(m_viewport, &page));
  emit CurrentPageChanged(page);
}
