// The preview pane on real fixture PDFs: fitting, centring, zoom limits, page navigation,
// scroll bars over tall documents, the wheel, the empty preview and the page bitmap cache.

#include <QApplication>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>
#include <QWheelEvent>

#include <cmath>
#include <memory>

#include "TestSupport.h"
#include "app/preview/PDFPreview.h"
#include "app/preview/PreviewDoc.h"
#include "app/preview/PreviewPane.h"

using testing_support::TempDir;

class PreviewPaneTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TempDir> m_dir;
  std::unique_ptr<CPreviewPane> m_pane;
  std::unique_ptr<CPreviewDoc> m_doc;
  static constexpr int kTallPages = 60;

  CPreviewDoc* Show(const char* file, const char* password = "") {
    m_doc = std::make_unique<CPreviewDoc>(m_dir->Wide(file), password);
    m_pane->ShowItem(m_doc.get());
    return m_doc.get();
  }
  int BarExtent() const { return m_pane->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_pane->VerticalBar()); }
  bool Shown(QScrollBar* bar) const { return bar->isVisibleTo(m_pane.get()); }
  QRgb ShownPixel(int x, int y) const { return m_pane->Preview()->Image().pixel(x, y); }
  void Wheel(int delta) {
    QWheelEvent event(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(m_pane->Preview(), &event);
  }

 private slots:
  void initTestCase() {
    m_dir = std::make_unique<TempDir>();
    QVERIFY(fixtures::WritePdf(*m_dir / "tall.pdf", fixtures::NumberedPages(kTallPages)));
    QVERIFY(fixtures::WritePdf(*m_dir / "short.pdf", fixtures::NumberedPages(1, 300, 200)));
    fixtures::DocSpec locked = fixtures::NumberedPages(2);
    locked.m_encryption = fixtures::Encryption{"secret", "owner"};
    QVERIFY(fixtures::WritePdf(*m_dir / "locked.pdf", locked));
  }

  void init() {
    m_pane = std::make_unique<CPreviewPane>();
    m_pane->resize(600, 500);
    m_pane->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_pane.get()));
  }

  void cleanup() {
    m_pane.reset();
    m_doc.reset();
  }

  void tallDocumentIsFittedBesideTheVerticalBar() {
    QSignalSpy pages(m_pane.get(), &CPreviewPane::CurrentPageChanged);
    CPreviewDoc* doc = Show("tall.pdf");
    // The full width would make the strip taller than the pane: fitted again to the width
    // left beside the vertical bar.
    const int width = 600 - BarExtent();
    QCOMPARE(m_pane->ViewportSize(), QSize(width, 500));
    QVERIFY(std::fabs(doc->m_fZoom - width / 595.0f * 72) < 0.01f);
    QVERIFY(std::fabs(doc->m_dWidestPage - width) < 0.01);
    QVERIFY(Shown(m_pane->VerticalBar()));
    QVERIFY(!Shown(m_pane->HorizontalBar()));
    QCOMPARE(doc->m_dOffsetY, 0.0);
    QCOMPARE(m_pane->VerticalBar()->value(), 0);
    QCOMPARE(pages.count(), 1);
    QCOMPARE(pages.at(0).at(0).toInt(), 1);
    // The page fills the viewport's width; its text is painted.
    QCOMPARE(ShownPixel(0, 5), qRgb(255, 255, 255));
    QCOMPARE(ShownPixel(width - 1, 5), qRgb(255, 255, 255));
  }

  void shortPageIsCentredWithoutBars() {
    CPreviewDoc* doc = Show("short.pdf");
    // 300 x 200 points fitted to 600 pixels: 144 dpi, 400 pixels high in a 500-pixel pane.
    QCOMPARE(doc->m_fZoom, 144.0f);
    QVERIFY(!Shown(m_pane->VerticalBar()));
    QVERIFY(!Shown(m_pane->HorizontalBar()));
    QCOMPARE(m_pane->ViewportSize(), QSize(600, 500));
    QCOMPARE(doc->m_dOffsetY, -50.0);
    const QRgb background = qRgb(86, 86, 86);
    QCOMPARE(ShownPixel(300, 49), background);
    QCOMPARE(ShownPixel(300, 50), qRgb(255, 255, 255));
    QCOMPARE(ShownPixel(300, 449), qRgb(255, 255, 255));
    QCOMPARE(ShownPixel(300, 450), background);
    // Zoomed out, the narrower page is centred across as well: 132 dpi gives 550 x 367.
    m_pane->ZoomOut();
    QCOMPARE(doc->m_fZoom, 132.0f);
    QVERIFY(!Shown(m_pane->VerticalBar()));
    QCOMPARE(ShownPixel(24, 250), background);
    QCOMPARE(ShownPixel(26, 250), qRgb(255, 255, 255));
    QCOMPARE(ShownPixel(574, 250), qRgb(255, 255, 255));
    QCOMPARE(ShownPixel(576, 250), background);
    QCOMPARE(m_pane->CurrentPage(), 1);
  }

  void zoomStopsAtItsLimits() {
    CPreviewDoc* doc = Show("short.pdf");
    for (int i = 0; i < 20; ++i) m_pane->ZoomOut();
    QCOMPARE(doc->m_fZoom, CPreviewDoc::kMinZoom);
    for (int i = 0; i < 60; ++i) m_pane->ZoomIn();
    QCOMPARE(doc->m_fZoom, CPreviewDoc::kMaxZoom);
    // At 640 dpi the page outgrows the pane: both bars, and the offsets stay in range.
    QVERIFY(Shown(m_pane->VerticalBar()));
    QVERIFY(Shown(m_pane->HorizontalBar()));
    QVERIFY(doc->m_dOffsetY >= 0 && doc->m_dOffsetY <= doc->m_dTotalHeight - m_pane->ViewportSize().height());
  }

  void zoomFromAFitBeyondTheLimitsNeverGoesTheWrongWay() {
    // A 40-point-wide page fitted to 600 pixels is shown at 1080 dpi.
    QVERIFY(fixtures::WritePdf(*m_dir / "narrow.pdf", fixtures::NumberedPages(1, 40, 20)));
    CPreviewDoc* doc = Show("narrow.pdf");
    QCOMPARE(doc->m_fZoom, 1080.0f);
    m_pane->ZoomIn();
    QCOMPARE(doc->m_fZoom, 1080.0f);
    m_pane->ZoomOut();
    QCOMPARE(doc->m_fZoom, CPreviewDoc::kMaxZoom);
  }

  void goToPageClamps_data() {
    QTest::addColumn<int>("typed");
    QTest::addColumn<int>("page");
    QTest::newRow("zero") << 0 << 1;
    QTest::newRow("negative") << -5 << 1;
    QTest::newRow("middle") << 7 << 7;
    QTest::newRow("last") << kTallPages << kTallPages;
    QTest::newRow("past the end") << kTallPages + 40 << kTallPages;
  }
  void goToPageClamps() {
    QFETCH(int, typed);
    QFETCH(int, page);
    CPreviewDoc* doc = Show("tall.pdf");
    m_pane->GoToPage(typed);
    QCOMPARE(m_pane->CurrentPage(), page);
    const double end = doc->m_dTotalHeight - m_pane->ViewportSize().height();
    QCOMPARE(doc->m_dOffsetY, std::min(doc->PageTop(page), end));
  }

  void prevAndNextStopAtTheEnds() {
    Show("tall.pdf");
    m_pane->PrevPage();
    QCOMPARE(m_pane->CurrentPage(), 1);
    m_pane->NextPage();
    m_pane->NextPage();
    QCOMPARE(m_pane->CurrentPage(), 3);
    m_pane->PrevPage();
    QCOMPARE(m_pane->CurrentPage(), 2);
    m_pane->GoToPage(kTallPages);
    m_pane->NextPage();
    QCOMPARE(m_pane->CurrentPage(), kTallPages);
  }

  void documentTallerThanABarHoldsScrollsOverItsWholeHeight() {
    CPreviewDoc* doc = Show("tall.pdf");
    QVERIFY(doc->m_dTotalHeight > CPreviewPane::kBarLimit);
    QScrollBar* bar = m_pane->VerticalBar();
    QVERIFY(bar->maximum() <= CPreviewPane::kBarLimit);
    const double end = doc->m_dTotalHeight - m_pane->ViewportSize().height();
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    QCOMPARE(doc->m_dOffsetY, end);
    QCOMPARE(m_pane->CurrentPage(), kTallPages);
    // The last page's bottom edge sits on the viewport's bottom row.
    QCOMPARE(ShownPixel(300, m_pane->ViewportSize().height() - 1), qRgb(255, 255, 255));
    // Lines stay 30 pixels on a scaled bar; a dragged thumb is read back multiplied.
    bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    QCOMPARE(doc->m_dOffsetY, end - 30);
    bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    QCOMPARE(doc->m_dOffsetY, end - 30 - m_pane->ViewportSize().height());
    const int k = static_cast<int>(std::ceil(doc->m_dTotalHeight / CPreviewPane::kBarLimit));
    QVERIFY(k > 1);
    bar->setValue(bar->maximum() / 2);
    QCOMPARE(doc->m_dOffsetY, double(bar->maximum() / 2) * k);
    bar->triggerAction(QAbstractSlider::SliderToMinimum);
    QCOMPARE(doc->m_dOffsetY, 0.0);
    QCOMPARE(m_pane->CurrentPage(), 1);
  }

  void oneWheelNotchScrollsThirtyPixelsAtAnyZoom() {
    CPreviewDoc* doc = Show("tall.pdf");
    for (int zoomIns : {0, 3, 10}) {
      for (int i = 0; i < zoomIns; ++i) m_pane->ZoomIn();
      m_pane->GoToPage(3);
      const double start = doc->m_dOffsetY;
      Wheel(-120);
      QCOMPARE(doc->m_dOffsetY, start + 30);
      Wheel(120);
      Wheel(120);
      QCOMPARE(doc->m_dOffsetY, start - 30);
    }
    // Never above the top.
    m_pane->GoToPage(1);
    Wheel(120);
    QCOMPARE(doc->m_dOffsetY, 0.0);
    QCOMPARE(m_pane->VerticalBar()->value(), 0);
  }

  void pressInThePreviewIsReported() {
    Show("tall.pdf");
    QSignalSpy pressed(m_pane.get(), &CPreviewPane::PreviewPressed);
    QTest::mouseClick(m_pane->Preview(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    QCOMPARE(pressed.count(), 1);
  }

  void lockedOrMissingItemShowsNothing() {
    Show("tall.pdf");
    QVERIFY(!m_pane->Preview()->Image().isNull());
    m_pane->ShowItem(nullptr);
    QCOMPARE(m_pane->Doc(), nullptr);
    QVERIFY(m_pane->Preview()->Image().isNull());
    QVERIFY(!Shown(m_pane->VerticalBar()));
    QCOMPARE(m_pane->ViewportSize(), QSize(600, 500));
    QCOMPARE(m_pane->CurrentPage(), 0);
    // Slots on an empty preview do nothing.
    m_pane->ZoomIn();
    m_pane->NextPage();
    m_pane->ScrollBy(30);
    QVERIFY(m_pane->Preview()->Image().isNull());
    // A document that does not open with its password is shown as empty too.
    CPreviewDoc* locked = Show("locked.pdf", "wrong");
    QCOMPARE(locked->PageCount(), 0);
    QCOMPARE(m_pane->Doc(), nullptr);
    QVERIFY(m_pane->Preview()->Image().isNull());
    QCOMPARE(Show("locked.pdf", "secret")->PageCount(), 2);
    QVERIFY(!m_pane->Preview()->Image().isNull());
    m_pane->Reset();
    QVERIFY(m_pane->Preview()->Image().isNull());
  }

  void onlyPagesInViewAreRenderedAndKeptPerZoom() {
    CPreviewDoc* doc = Show("tall.pdf");
    // About 800 pixels a page in a 500-pixel viewport: page 1 alone.
    QCOMPARE(doc->Renders(), 1);
    m_pane->ScrollBy(600);  // pages 1 and 2 meet the viewport
    QCOMPARE(doc->Renders(), 2);
    m_pane->GoToPage(30);
    QCOMPARE(doc->Renders(), 3);
    m_pane->GoToPage(1);
    m_pane->ScrollBy(600);
    QCOMPARE(doc->Renders(), 3);  // cached
    QCOMPARE(doc->CachedBitmaps(), 3);
    m_pane->ZoomOut();
    QCOMPARE(doc->CachedBitmaps(), doc->Renders() - 3);  // the old zoom's bitmaps went
  }

  void pageBitmapsOfAllDocumentsStayWithinOneBudget() {
    // Two documents at 640 dpi: one A4 page bitmap each, together above the budget.
    const QSize viewport(600, 500);
    CPreviewDoc first(m_dir->Wide("tall.pdf"), "");
    first.SetZoom(CPreviewDoc::kMaxZoom);
    first.Compose(viewport);
    QCOMPARE(first.CachedBitmaps(), 1);
    QVERIFY(first.CachedBytes() > CPreviewDoc::kBitmapBudget / 2);
    {
      CPreviewDoc second(m_dir->Wide("tall.pdf"), "");
      second.SetZoom(CPreviewDoc::kMaxZoom);
      second.Compose(viewport);
      // The page on screen stays; the other document's older bitmap goes.
      QCOMPARE(second.CachedBitmaps(), 1);
      QCOMPARE(first.CachedBitmaps(), 0);
      QCOMPARE(CPreviewDoc::AllCachedBytes(), second.CachedBytes());
    }
    QCOMPARE(CPreviewDoc::AllCachedBytes(), size_t{0});
    first.Compose(viewport);
    QCOMPARE(first.Renders(), 2);
  }

  void pageTooLargeForOneRenderShowsAsBackgroundAndIsNotRetried() {
    // 14400 points square at 100 dpi: 20000 x 20000 pixels, 1.6 GB as one bitmap.
    QVERIFY(fixtures::WritePdf(*m_dir / "huge.pdf", fixtures::NumberedPages(1, 14400, 14400)));
    CPreviewDoc doc(m_dir->Wide("huge.pdf"), "");
    doc.SetZoom(100);
    const QImage frame = doc.Compose(QSize(600, 500));
    QCOMPARE(frame.pixel(300, 250), qRgb(86, 86, 86));
    QCOMPARE(doc.Renders(), 1);
    QCOMPARE(CPreviewDoc::AllCachedBytes(), size_t{0});
    doc.Compose(QSize(600, 500));
    QCOMPARE(doc.Renders(), 1);
  }

  void resizingKeepsTheZoomAndTheBarsRelativePositions() {
    CPreviewDoc* doc = Show("tall.pdf");
    const float zoom = doc->m_fZoom;
    m_pane->GoToPage(20);
    const double fraction = doc->m_dOffsetY / (doc->m_dTotalHeight - m_pane->ViewportSize().height());
    m_pane->resize(400, 800);
    QCOMPARE(doc->m_fZoom, zoom);
    QVERIFY(std::fabs(doc->m_dOffsetY / (doc->m_dTotalHeight - m_pane->ViewportSize().height()) - fraction) < 1e-12);
    // At the very end, a taller pane keeps it at the new end.
    m_pane->VerticalBar()->triggerAction(QAbstractSlider::SliderToMaximum);
    m_pane->resize(400, 900);
    QCOMPARE(doc->m_dOffsetY, doc->m_dTotalHeight - m_pane->ViewportSize().height());
    QCOMPARE(m_pane->VerticalBar()->value(), m_pane->VerticalBar()->maximum());
    // The pages are now wider than the pane: a horizontal bar.
    QVERIFY(Shown(m_pane->HorizontalBar()));
    QCOMPARE(m_pane->HorizontalBar()->maximum(),
             static_cast<int>(std::ceil(doc->m_dWidestPage - m_pane->ViewportSize().width())));
    m_pane->HorizontalBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(doc->m_dOffsetX, 30.0);
    // Scrolled right to the end, narrowing the pane keeps the horizontal bar at its end.
    m_pane->HorizontalBar()->triggerAction(QAbstractSlider::SliderToMaximum);
    m_pane->resize(300, 900);
    QCOMPARE(doc->m_dOffsetX, doc->m_dWidestPage - m_pane->ViewportSize().width());
  }

  void zoomKeepsEachBarsRelativePosition_data() {
    QTest::addColumn<double>("fraction");
    QTest::newRow("start") << 0.0;
    QTest::newRow("a third") << 1.0 / 3;
    QTest::newRow("end") << 1.0;
  }
  void zoomKeepsEachBarsRelativePosition() {
    QFETCH(double, fraction);
    CPreviewDoc* doc = Show("tall.pdf");
    m_pane->ZoomIn();  // wider than the pane: both bars
    QVERIFY(Shown(m_pane->HorizontalBar()));
    const auto spare = [&] {
      return QPointF(doc->m_dWidestPage - m_pane->ViewportSize().width(),
                     doc->m_dTotalHeight - m_pane->ViewportSize().height());
    };
    m_pane->HorizontalBar()->setValue(static_cast<int>(std::lround(fraction * m_pane->HorizontalBar()->maximum())));
    m_pane->VerticalBar()->setValue(static_cast<int>(std::lround(fraction * m_pane->VerticalBar()->maximum())));
    const QPointF before(doc->m_dOffsetX / spare().x(), doc->m_dOffsetY / spare().y());
    for (auto zoom : {&CPreviewPane::ZoomIn, &CPreviewPane::ZoomIn, &CPreviewPane::ZoomOut}) {
      (m_pane.get()->*zoom)();
      QVERIFY(std::fabs(doc->m_dOffsetX / spare().x() - before.x()) < 1e-9);
      QVERIFY(std::fabs(doc->m_dOffsetY / spare().y() - before.y()) < 1e-9);
    }
    // Zoomed out until the page fits across: centred, and no horizontal bar.
    while (Shown(m_pane->HorizontalBar())) m_pane->ZoomOut();
    QCOMPARE(doc->m_dOffsetX, 0.0);
    QVERIFY(std::fabs(doc->m_dOffsetY / spare().y() - before.y()) < 1e-9);
  }

  void hostilePageSizesKeepTheStripScrollable() {
    // 600 pages one point wide and 276 million points tall: fitting to the width alone
    // would ask for 43 000 dpi and a strip of about 1e14 pixels.
    QVERIFY(fixtures::WritePdf(*m_dir / "needles.pdf", fixtures::NumberedPages(600, 1, 276447000)));
    CPreviewDoc* doc = Show("needles.pdf");
    QCOMPARE(doc->PageSizePoints(600).width(), 1.0);
    QVERIFY(doc->PageSizePoints(600).height() > 2.76e8);
    QCOMPARE(doc->m_fZoom, CPreviewDoc::kMaxFitZoom);
    QScrollBar* bar = m_pane->VerticalBar();
    QVERIFY(Shown(bar));
    QVERIFY(bar->maximum() > 0 && bar->maximum() <= CPreviewPane::kBarLimit);
    const double end = doc->m_dTotalHeight - m_pane->ViewportSize().height();
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    QCOMPARE(doc->m_dOffsetY, end);
    QCOMPARE(m_pane->CurrentPage(), 600);
    bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    QCOMPARE(doc->m_dOffsetY, end - 30);
    // Each page is far beyond what one render may hold: it shows as the background.
    QCOMPARE(ShownPixel(m_pane->ViewportSize().width() / 2, 10), qRgb(86, 86, 86));
    QCOMPARE(CPreviewDoc::AllCachedBytes(), size_t{0});
  }
};

QTEST_MAIN(PreviewPaneTest)
#include "PreviewPaneTest.moc"
