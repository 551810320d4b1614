// Preview frames while scrolling through a 500-page document: the time to compose one
// viewport when its pages must be rendered first (cold), when every page on it is cached,
// and right after a zoom step; with the bytes of page bitmaps kept and the peak memory.

#include <sys/resource.h>

#include <QGuiApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchDocuments.h"
#include "BenchProcess.h"
#include "app/preview/PreviewDoc.h"
#include "platform/Strings.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kPages = 500;
constexpr int kScrollStep = 120;  // pixels per frame: four wheel notches
const QSize kViewport(800, 900);

struct Frames {
  std::vector<double> m_vecMs;
  void Add(Clock::time_point start) {
    m_vecMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  void Print(const char* name) {
    if (m_vecMs.empty()) return;
    std::vector<double> sorted = m_vecMs;
    std::sort(sorted.begin(), sorted.end());
    double sum = 0;
    for (double ms : sorted) sum += ms;
    std::printf("%-34s %6zu frames  mean %8.2f ms  median %8.2f ms  p95 %8.2f ms  max %8.2f ms\n", name,
                sorted.size(), sum / sorted.size(), sorted[sorted.size() / 2], sorted[sorted.size() * 95 / 100],
                sorted.back());
  }
};

long PeakKiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
#ifdef PAGEVANE_BENCH_SANITIZED
  std::puts("note: sanitizer build; configure with -DCMAKE_BUILD_TYPE=Release for real numbers");
#endif
  const fs::path dir = fs::temp_directory_path() / ("pagevane-preview-bench-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const fs::path pdf = dir / "running-text.pdf";
  if (!bench::WritePdfInChild(pdf, [] { return bench::RunningText(kPages); })) {
    std::fputs("cannot write the benchmark document\n", stderr);
    return 1;
  }

  auto start = Clock::now();
  CPreviewDoc doc(platform::FromPath(pdf), "");
  doc.FitToWidth(kViewport, 0);
  const double openMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  std::printf("document: %d pages of running text, viewport %d x %d at %.1f dpi\n", doc.PageCount(),
              kViewport.width(), kViewport.height(), doc.m_fZoom);
  std::printf("%-34s %8.2f ms (open, %d page sizes, layout)\n", "first show", openMs, doc.PageCount());

  // Top to bottom: every page is rendered once, as it comes into view.
  Frames cold;
  const double end = doc.m_dTotalHeight - kViewport.height();
  while (true) {
    start = Clock::now();
    doc.Compose(kViewport);
    cold.Add(start);
    if (doc.m_dOffsetY >= end) break;
    doc.ScrollBy(kScrollStep, kViewport);
  }
  const int coldRenders = doc.Renders();

  // Up and down over the last pages, which are all still cached.
  Frames cached;
  const double back = std::min(end, 20 * doc.PageHeight(1));
  for (int pass = 0; pass < 4; ++pass)
    for (double moved = 0; moved < back; moved += kScrollStep) {
      doc.ScrollBy(pass % 2 ? kScrollStep : -kScrollStep, kViewport);
      start = Clock::now();
      doc.Compose(kViewport);
      cached.Add(start);
    }
  const int cachedRenders = doc.Renders() - coldRenders;
  const double keptMiB = doc.CachedBytes() / 1048576.0;

  // A zoom step drops the bitmaps: the next frame renders its pages again.
  Frames zoomed;
  for (int step = 0; step < 6; ++step) {
    start = Clock::now();
    doc.ZoomBy(step % 2 ? -CPreviewDoc::kZoomStep : CPreviewDoc::kZoomStep, kViewport);
    doc.Compose(kViewport);
    zoomed.Add(start);
  }

  cold.Print("scrolling, pages rendered (cold)");
  cached.Print("scrolling, pages cached");
  zoomed.Print("zoom step and first frame");
  std::printf("renders: %d while scrolling down, %d while scrolling over cached pages\n", coldRenders, cachedRenders);
  std::printf("page bitmaps kept after scrolling: %.1f MiB (budget %zu MiB); peak memory %.1f MiB\n", keptMiB,
              CPreviewDoc::kBitmapBudget >> 20, PeakKiB() / 1024.0);
  std::error_code ec;
  fs::remove_all(dir, ec);
  return 0;
}
