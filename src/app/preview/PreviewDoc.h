#pragma once
// CPreviewDoc: the preview state of one listed file. It owns a preview instance of the
// document interface, opened on first use, the page sizes (fetched once), the page bitmaps
// rendered at the current zoom, and the scroll offsets. Pages are laid out as one vertical
// strip with 10-pixel gaps; all lengths below are pixels at the current zoom unless noted.
// User-interface thread only.

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QSize>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CMuInterface;

class CPreviewDoc {
 public:
  static constexpr float kDefaultZoom = 72.0f;  // dots per inch; 72 is 100 %
  static constexpr float kMinZoom = 36.0f;
  static constexpr float kMaxZoom = 640.0f;
  static constexpr float kZoomStep = 12.0f;
  // The highest zoom fitting may choose: a hostile, very narrow and tall page would
  // otherwise give a strip too long for a scroll bar's range to stand for.
  static constexpr float kMaxFitZoom = 4 * kMaxZoom;
  static constexpr int kPageGap = 10;           // pixels between two pages
  // Bytes of page bitmaps kept by all preview states together; the least recently drawn
  // pages beyond it are dropped (never those of the frame being composed).
  static constexpr size_t kBitmapBudget = size_t{256} << 20;
  static inline const QColor kBackground{86, 86, 86};

  // Cheap: nothing is opened until the state is first used.
  CPreviewDoc(std::wstring path, std::string password);
  ~CPreviewDoc();
  CPreviewDoc(const CPreviewDoc&) = delete;
  CPreviewDoc& operator=(const CPreviewDoc&) = delete;

  // Opens the document on the first call and returns its page count; 0 when it cannot be
  // opened (wrong password, damaged file) or has no pages.
  int PageCount();

  // Width and height in points of page `n` (1-based), fetched once; (0, 0) on failure.
  QSizeF PageSizePoints(int n);

  // Sets the zoom (dpi) and recomputes the widest page and the total height; the bitmaps
  // are dropped when it moves by more than 0.1. Zooms that are not positive are ignored.
  void SetZoom(float zoom);

  // Zoom that makes the widest page fill `viewport` wide; when the strip is then taller
  // than the viewport, fits to the width less `scrollBarWidth` instead. Never above
  // kMaxFitZoom. Offsets: left edge, top of the strip, or the strip centred when it is
  // shorter than the viewport.
  void FitToWidth(QSize viewport, int scrollBarWidth);

  // Keeps the offsets within the content; a dimension shorter than the viewport is centred
  // (vertical offset negative, horizontal offset 0: narrow pages are centred when drawn).
  void ClampOffsets(QSize viewport);

  // The page whose band (its height and the gap below it) holds the viewport's middle row;
  // the last page when none does. 0 for a document without pages.
  int CurrentPage(int viewportHeight);

  // Scrolls to the top of page `n`, clamped to 1 .. page count; never past the end.
  void GoToPage(int n, QSize viewport);

  // Zooms by `step` dpi within kMinZoom .. kMaxZoom, keeping both scroll positions at the
  // same fraction of their range (see BarFractions). A zoom outside the limits (from
  // fitting) never moves the wrong way: "In" never shrinks the pages, "Out" never enlarges
  // them.
  void ZoomBy(float step, QSize viewport);

  // Where each offset stands within its scroll range, offset / (content - viewport), from
  // 0 (start) to 1 (end); 0 for a dimension that fits the viewport.
  QPointF BarFractions(QSize viewport) const;
  // Puts each offset at fraction `fractions` of its scroll range; a dimension that fits
  // the viewport is centred as in ClampOffsets.
  void SetBarFractions(QPointF fractions, QSize viewport);

  // Moves the vertical offset by `pixels` (positive: down), within the content.
  void ScrollBy(double pixels, QSize viewport);

  // The picture of the viewport: the background with every page that meets it, rendered
  // on first use at the current zoom; narrower pages centred. Returns the page holding the
  // viewport's centre in `centrePage` (0 when none).
  QImage Compose(QSize viewport, int* centrePage = nullptr);

  // Top of page `n` (1-based) in the strip; the total height for n past the last page.
  double PageTop(int n);
  double PageHeight(int n);  // pixels at the current zoom
  double PageWidth(int n);

  // Number of pages whose bitmap is cached, the bytes they take, and the renders so far.
  int CachedBitmaps() const;
  size_t CachedBytes() const { return m_nCachedBytes; }
  int Renders() const { return m_nRenders; }
  // Bytes of page bitmaps held by every preview state of the process.
  static size_t AllCachedBytes();

  const std::wstring m_strPath;      // the file, as listed
  const std::string m_strPassword;   // the password it is opened with (UTF-8)
  float m_fZoom = kDefaultZoom;      // dots per inch
  double m_dOffsetX = 0;             // horizontal scroll position, pixels
  double m_dOffsetY = 0;             // vertical scroll position, pixels; negative centres
  double m_dWidestPage = 0;          // widest page, pixels
  double m_dTotalHeight = 0;         // all pages and the gaps between them, pixels

 private:
  struct PageBitmap {
    QImage m_image;          // rendered at m_fZoom when not null
    bool m_bFailed = false;  // the render failed at this zoom: not retried until it changes
    uint64_t m_nLastUse = 0; // process-wide composition number of its last drawing
  };

  bool EnsureOpen();
  void FetchAllSizes();
  void Relayout();
  int PageAt(double y);                      // page whose band holds strip row y
  const QImage* BitmapOf(int n);             // renders on first use; null on failure
  void DropBitmaps();
  void ForgetBitmap(PageBitmap& bitmap);
  // Drops the least recently drawn bitmaps of all states until the budget holds, keeping
  // this state's pages firstKept .. lastKept.
  void TrimBitmaps(int firstKept, int lastKept);

  std::unique_ptr<CMuInterface> m_pDoc;      // the preview instance, made on first use
  bool m_bOpened = false;                    // the open was tried
  int m_nPageCount = 0;
  std::vector<QSizeF> m_vecSizes;            // points; negative width until fetched
  std::vector<double> m_vecTops;             // top of each page, then the total height + gap
  std::vector<PageBitmap> m_vecBitmaps;      // per page, at m_fZoom
  size_t m_nCachedBytes = 0;                 // bytes held by m_vecBitmaps
  int m_nRenders = 0;                        // pages rendered so far
};
