#pragma once
// CPreviewPane: the right pane's preview area: the preview window with a vertical and a
// horizontal scroll bar. It shows one CPreviewDoc at a time (owned by its file item, not by
// the pane), keeps the scroll bars in step with the document's offsets, and composes the
// visible part after every change. Bars whose content exceeds what a scroll bar holds keep
// positions divided by k = ceil(content / 32767) and multiply them back when read.

#include <QSize>
#include <QWidget>

class CPDFPreview;
class CPreviewDoc;
class QScrollBar;

class CPreviewPane : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kLineStep = 30;      // pixels per scroll-bar line and per wheel notch
  static constexpr int kBarLimit = 32767;   // the largest position a scroll bar is given

  explicit CPreviewPane(QWidget* parent = nullptr);

  // The document shown, or null for an empty preview (nothing listed, locked item).
  CPreviewDoc* Doc() const { return m_pDoc; }
  // The page holding the viewport's middle row; 0 when nothing is shown.
  int CurrentPage() const;
  // The area the pages are drawn in: the pane less the scroll bars shown.
  QSize ViewportSize() const { return m_viewport; }

  CPDFPreview* Preview() const { return m_pPreview; }
  QScrollBar* VerticalBar() const { return m_pVBar; }
  QScrollBar* HorizontalBar() const { return m_pHBar; }

 public slots:
  // Shows `doc` fitted to the viewport's width from its top (a short strip centred), or an
  // empty preview for null or a document without pages. The caller keeps `doc` alive while
  // it is shown and calls Reset() or ShowItem() before deleting it.
  void ShowItem(CPreviewDoc* doc);
  // Forgets the document: both bars hidden, the viewport at full size, an empty preview.
  void Reset();
  void ZoomIn();
  void ZoomOut();
  void PrevPage();
  void NextPage();
  // Scrolls to the top of page `n`, clamped to the document's pages.
  void GoToPage(int n);
  // Scrolls vertically by `pixels` (positive: down) within the content.
  void ScrollBy(int pixels);
  // A wheel turn of `delta` (120 a notch, positive away from the user): delta / 4 pixels up.
  void WheelScroll(int delta);

 signals:
  // After every composition: the page holding the viewport's centre (for the page edit).
  void CurrentPageChanged(int page);
  // A mouse press in the preview window.
  void PreviewPressed();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  struct BarScale {
    int m_nK = 1;           // pixels per scroll-bar unit
    double m_dSpare = 0;    // content size less viewport size, pixels
  };

  void LayoutBars();   // shows or hides the bars, sizes the viewport, clamps the offsets
  void SyncBars();     // bar ranges and positions from the document's offsets
  void Compose();      // composes the viewport and shows it
  void OnBarAction(Qt::Orientation orientation, int action);
  void OnBarValue(Qt::Orientation orientation, int value);
  int ToBar(const BarScale& scale, double offset) const;
  double FromBar(const BarScale& scale, QScrollBar* bar, int value) const;

  CPDFPreview* m_pPreview = nullptr;
  QScrollBar* m_pVBar = nullptr;
  QScrollBar* m_pHBar = nullptr;
  CPreviewDoc* m_pDoc = nullptr;  // the document shown; not owned
  QSize m_viewport;               // pixels
  BarScale m_vScale;              // vertical bar's mapping
  BarScale m_hScale;              // horizontal bar's mapping
  bool m_bSyncing = false;        // bar values are being set from the offsets
};
