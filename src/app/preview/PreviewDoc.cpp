#include "app/preview/PreviewDoc.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "capture/TextPage.h"
#include "pdf/MuInterface.h"

namespace {

// A rendered page record (bottom-up BGRA rows) as a top-down 32-bit image.
QImage ToImage(const nsPDFData::CImageObj& record) {
  const int width = static_cast<int>(record.m_fPixWidth);
  const int height = static_cast<int>(record.m_fPixHeight);
  if (width <= 0 || height <= 0 || static_cast<int64_t>(width) * height * 4 != record.m_nDataSize) return {};
  QImage image(width, height, QImage::Format_RGB32);
  if (image.isNull()) return {};
  const size_t rowBytes = static_cast<size_t>(width) * 4;
  for (int y = 0; y < height; ++y)
    std::memcpy(image.scanLine(y), record.m_pData + static_cast<size_t>(height - 1 - y) * rowBytes, rowBytes);
  return image;
}

// Every preview state of the process, for the shared bitmap budget (user-interface thread).
std::vector<CPreviewDoc*>& AllDocs() {
  static std::vector<CPreviewDoc*> docs;
  return docs;
}
// A drawing position in whole pixels, limited to where QPainter's integer sums stay valid
// (a page far taller than anything drawable can still sit far above the viewport).
int ToPixel(double value) {
  constexpr double kLimit = std::numeric_limits<int>::max() / 2;
  return static_cast<int>(std::clamp(std::floor(value), -kLimit, kLimit));
}

size_t g_nAllCachedBytes = 0;  // bytes of page bitmaps held by all states
uint64_t g_nComposition = 0;   // compositions so far, across all states

}  // namespace

CPreviewDoc::CPreviewDoc(std::wstring path, std::string password)
    : m_strPath(std::move(path)), m_strPassword(std::move(password)) {
  AllDocs().push_back(this);
}

CPreviewDoc::~CPreviewDoc() {
  DropBitmaps();
  auto& docs = AllDocs();
  docs.erase(std::remove(docs.begin(), docs.end(), this), docs.end());
}

size_t CPreviewDoc::AllCachedBytes() { return g_nAllCachedBytes; }

bool CPreviewDoc::EnsureOpen() {
  if (m_bOpened) return m_nPageCount > 0;
  m_bOpened = true;
  m_pDoc = std::make_unique<CMuInterface>(CMuInterface::PreviewInstance{});
  const int count = m_pDoc->OpenDocument(m_strPath, m_strPassword, "");
  m_nPageCount = std::max(count, 0);
  if (m_nPageCount == 0) {
    m_pDoc.reset();
    return false;
  }
  m_vecSizes.assign(static_cast<size_t>(m_nPageCount), QSizeF(-1, -1));
  m_vecBitmaps.resize(static_cast<size_t>(m_nPageCount));
  Relayout();
  return true;
}

int CPreviewDoc::PageCount() {
  EnsureOpen();
  return m_nPageCount;
}

QSizeF CPreviewDoc::PageSizePoints(int n) {
  if (!EnsureOpen() || n < 1 || n > m_nPageCount) return {0, 0};
  QSizeF& size = m_vecSizes[static_cast<size_t>(n - 1)];
  if (size.width() < 0) {
    float width = 0, height = 0;
    m_pDoc->GetPageSize(n, width, height);
    // A page that cannot be measured takes no room rather than a nonsense size.
    if (!std::isfinite(width) || !std::isfinite(height) || width < 0 || height < 0) width = height = 0;
    size = QSizeF(width, height);
  }
  return size;
}

void CPreviewDoc::FetchAllSizes() {
  for (int n = 1; n <= m_nPageCount; ++n) PageSizePoints(n);
}

void CPreviewDoc::Relayout() {
  FetchAllSizes();
  const double scale = m_fZoom / 72.0;
  m_dWidestPage = 0;
  m_vecTops.assign(static_cast<size_t>(m_nPageCount) + 1, 0);
  double y = 0;
  for (int i = 0; i < m_nPageCount; ++i) {
    const QSizeF size = m_vecSizes[static_cast<size_t>(i)];
    m_vecTops[static_cast<size_t>(i)] = y;
    y += size.height() * scale + kPageGap;
    m_dWidestPage = std::max(m_dWidestPage, size.width() * scale);
  }
  m_vecTops[static_cast<size_t>(m_nPageCount)] = y;
  m_dTotalHeight = m_nPageCount > 0 ? y - kPageGap : 0;
}

void CPreviewDoc::SetZoom(float zoom) {
  if (!(zoom > 0) || !std::isfinite(zoom)) return;
  if (std::fabs(zoom - m_fZoom) > 0.1f) DropBitmaps();
  m_fZoom = zoom;
  if (EnsureOpen()) Relayout();
}

double CPreviewDoc::PageTop(int n) {
  if (!EnsureOpen()) return 0;
  if (n > m_nPageCount) return m_dTotalHeight;
  return m_vecTops[static_cast<size_t>(std::max(n, 1) - 1)];
}

double CPreviewDoc::PageHeight(int n) { return PageSizePoints(n).height() * m_fZoom / 72.0; }
double CPreviewDoc::PageWidth(int n) { return PageSizePoints(n).width() * m_fZoom / 72.0; }

void CPreviewDoc::FitToWidth(QSize viewport, int scrollBarWidth) {
  if (!EnsureOpen()) return;
  double widestPoints = 0;
  for (const QSizeF& size : m_vecSizes) widestPoints = std::max(widestPoints, size.width());
  // Computed in double and limited before it becomes a float: a page a fraction of a
  // point wide would otherwise ask for an unbounded zoom.
  const auto fitted = [widestPoints](int pixels) {
    return static_cast<float>(std::min(pixels / widestPoints * 72.0, double{kMaxFitZoom}));
  };
  if (widestPoints > 0 && viewport.width() > 0) {
    SetZoom(fitted(viewport.width()));
    const int narrower = viewport.width() - scrollBarWidth;
    if (m_dTotalHeight > viewport.height() && narrower > 0) SetZoom(fitted(narrower));
  }
  m_dOffsetX = 0;
  m_dOffsetY = 0;
  ClampOffsets(viewport);
}

void CPreviewDoc::ClampOffsets(QSize viewport) {
  // Whole pixels decide what fits, as for the scroll bars: content a fraction of a pixel
  // larger than the viewport has no bar and so no offset either.
  const double spareY = m_dTotalHeight - viewport.height();
  m_dOffsetY = std::round(m_dTotalHeight) <= viewport.height() ? std::min(spareY, 0.0) / 2
                                                               : std::clamp(m_dOffsetY, 0.0, spareY);
  const double spareX = m_dWidestPage - viewport.width();
  m_dOffsetX = std::round(m_dWidestPage) <= viewport.width() ? 0 : std::clamp(m_dOffsetX, 0.0, spareX);
}

int CPreviewDoc::PageAt(double y) {
  if (m_nPageCount == 0) return 0;
  // The first page whose band ends below y; bands are [top, next top).
  auto next = std::upper_bound(m_vecTops.begin() + 1, m_vecTops.end(), y);
  if (next == m_vecTops.end()) return m_nPageCount;
  return static_cast<int>(next - m_vecTops.begin());
}

int CPreviewDoc::CurrentPage(int viewportHeight) {
  if (!EnsureOpen()) return 0;
  return PageAt(m_dOffsetY + viewportHeight / 2.0);
}

void CPreviewDoc::GoToPage(int n, QSize viewport) {
  if (!EnsureOpen()) return;
  n = std::clamp(n, 1, m_nPageCount);
  m_dOffsetY = std::min(PageTop(n), m_dTotalHeight - viewport.height());
  ClampOffsets(viewport);
}

void CPreviewDoc::ZoomBy(float step, QSize viewport) {
  if (!EnsureOpen()) return;
  float zoom = std::clamp(m_fZoom + step, kMinZoom, kMaxZoom);
  if ((step > 0 && zoom < m_fZoom) || (step < 0 && zoom > m_fZoom)) zoom = m_fZoom;
  const QPointF fractions = BarFractions(viewport);
  SetZoom(zoom);
  SetBarFractions(fractions, viewport);
}

QPointF CPreviewDoc::BarFractions(QSize viewport) const {
  const auto fraction = [](double offset, double content, int view) {
    const double spare = content - view;
    return spare > 0 ? std::clamp(offset / spare, 0.0, 1.0) : 0.0;
  };
  return {fraction(m_dOffsetX, m_dWidestPage, viewport.width()), fraction(m_dOffsetY, m_dTotalHeight, viewport.height())};
}

void CPreviewDoc::SetBarFractions(QPointF fractions, QSize viewport) {
  m_dOffsetX = fractions.x() * (m_dWidestPage - viewport.width());
  m_dOffsetY = fractions.y() * (m_dTotalHeight - viewport.height());
  ClampOffsets(viewport);
}

void CPreviewDoc::ScrollBy(double pixels, QSize viewport) {
  if (!EnsureOpen()) return;
  if (m_dTotalHeight > viewport.height()) m_dOffsetY += pixels;
  ClampOffsets(viewport);
}

const QImage* CPreviewDoc::BitmapOf(int n) {
  PageBitmap& bitmap = m_vecBitmaps[static_cast<size_t>(n - 1)];
  bitmap.m_nLastUse = g_nComposition;
  if (bitmap.m_image.isNull() && !bitmap.m_bFailed) {
    ++m_nRenders;
    std::unique_ptr<nsPDFData::CImageObj> record(m_pDoc->RenderPage(n, m_fZoom));
    if (record) bitmap.m_image = ToImage(*record);
    bitmap.m_bFailed = bitmap.m_image.isNull();
    m_nCachedBytes += static_cast<size_t>(bitmap.m_image.sizeInBytes());
    g_nAllCachedBytes += static_cast<size_t>(bitmap.m_image.sizeInBytes());
  }
  return bitmap.m_image.isNull() ? nullptr : &bitmap.m_image;
}

void CPreviewDoc::ForgetBitmap(PageBitmap& bitmap) {
  const auto bytes = static_cast<size_t>(bitmap.m_image.sizeInBytes());
  m_nCachedBytes -= bytes;
  g_nAllCachedBytes -= bytes;
  bitmap = PageBitmap{};
}

void CPreviewDoc::DropBitmaps() {
  for (PageBitmap& bitmap : m_vecBitmaps) ForgetBitmap(bitmap);
}

void CPreviewDoc::TrimBitmaps(int firstKept, int lastKept) {
  while (g_nAllCachedBytes > kBitmapBudget) {
    CPreviewDoc* owner = nullptr;
    PageBitmap* oldest = nullptr;
    for (CPreviewDoc* doc : AllDocs())
      for (int n = 1; n <= static_cast<int>(doc->m_vecBitmaps.size()); ++n) {
        PageBitmap& bitmap = doc->m_vecBitmaps[static_cast<size_t>(n - 1)];
        if (bitmap.m_image.isNull() || (doc == this && n >= firstKept && n <= lastKept)) continue;
        if (!oldest || bitmap.m_nLastUse < oldest->m_nLastUse) {
          owner = doc;
          oldest = &bitmap;
        }
      }
    if (!oldest) return;  // only the pages on screen are left
    owner->ForgetBitmap(*oldest);
  }
}

int CPreviewDoc::CachedBitmaps() const {
  return static_cast<int>(std::count_if(m_vecBitmaps.begin(), m_vecBitmaps.end(),
                                        [](const PageBitmap& bitmap) { return !bitmap.m_image.isNull(); }));
}

QImage CPreviewDoc::Compose(QSize viewport, int* centrePage) {
  if (centrePage) *centrePage = 0;
  if (viewport.width() <= 0 || viewport.height() <= 0) return {};
  QImage frame(viewport, QImage::Format_RGB32);
  if (frame.isNull()) return {};
  frame.fill(kBackground);
  if (!EnsureOpen()) return frame;
  ++g_nComposition;

  QPainter painter(&frame);
  const int first = PageAt(m_dOffsetY);
  int last = first;
  for (int n = first; n <= m_nPageCount; ++n) {
    const double top = PageTop(n) - m_dOffsetY;
    if (top >= viewport.height()) break;
    const double height = PageHeight(n);
    if (top + height <= 0) continue;  // the gap above the viewport's top row
    last = n;
    const QImage* bitmap = BitmapOf(n);
    if (!bitmap) continue;
    const double width = PageWidth(n);
    const double left = width < viewport.width() ? (viewport.width() - width) / 2 : -m_dOffsetX;
    painter.drawImage(QPoint(ToPixel(left), ToPixel(top)), *bitmap);
  }
  painter.end();
  TrimBitmaps(first, last);
  if (centrePage) *centrePage = CurrentPage(viewport.height());
  return frame;
}
