// Layout analysis against the engine's own parsing, on a page of 5,000 words (the analysis
// must cost well under what MuPDF takes to parse and record the page), and per page of a
// 200-page document beside the capture time.

#include <mupdf/fitz.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "BenchDocuments.h"
#include "FixtureBuilder.h"
#include "capture/TextPage.h"
#include "driver/OutputKind.h"
#include "layout/LayoutAnalysis.h"
#include "pdf/MuInterface.h"
#include "platform/Strings.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRuns = 5;

// Two columns of small running text, 5,000 words in all, plus a few headings and a table.
fixtures::DocSpec DensePage() {
  std::mt19937 random(7);
  const char* words[] = {"alpha", "beta", "gamma", "delta", "epsilon", "zeta", "eta", "theta"};
  fixtures::PageSpec page;
  page.m_dWidth = 1190;
  page.m_dHeight = 1684;
  int count = 0;
  for (int column = 0; column < 2 && count < 5000; ++column)
    for (int line = 0; line < 250 && count < 5000; ++line) {
      std::string text;
      for (int w = 0; w < 10 && count < 5000; ++w, ++count) text += std::string(words[random() % 8]) + " ";
      page.m_vecTexts.push_back({40.0 + 580 * column, 20.0 + 6.6 * line, text, "Times-Roman", 5});
    }
  fixtures::DocSpec docSpec;
  docSpec.m_vecPages.push_back(page);
  return docSpec;
}

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// The engine alone: load the page and record it into a display list.
double ParseSeconds(const std::string& path) {
  fz_context* ctx = fz_new_context(nullptr, nullptr, FZ_STORE_DEFAULT);
  double best = 1e9;
  fz_try(ctx) {
    fz_register_document_handlers(ctx);
    for (int run = 0; run < kRuns; ++run) {
      const auto start = Clock::now();
      fz_document* doc = fz_open_document(ctx, path.c_str());
      fz_page* page = fz_load_page(ctx, doc, 0);
      fz_display_list* list = fz_new_display_list_from_page(ctx, page);
      best = std::min(best, Seconds(start));
      fz_drop_display_list(ctx, list);
      fz_drop_page(ctx, page);
      fz_drop_document(ctx, doc);
    }
  }
  fz_catch(ctx) { best = -1; }
  fz_drop_context(ctx);
  return best;
}

// Captures the page without analysis, then times one variant on it.
double AnalysisSeconds(const std::wstring& path, void (*analyze)(nsPDFData::CTextPage&), size_t& words) {
  double best = 1e9;
  for (int run = 0; run < kRuns; ++run) {
    CMuInterface doc;
    doc.m_nOutputKind = KIND_CSV;  // a kind without analysis: the tree as captured
    if (doc.OpenDocument(path, "", "") < 1) return -1;
    nsPDFData::CTextPage* page = doc.LoadPage(1);
    if (!page) return -1;
    words = 0;
    for (auto* block : page->m_lstTextLines)
      for (auto* column : static_cast<nsPDFData::CTextLine*>(block)->m_lstTextLines)
        for (auto* line : static_cast<nsPDFData::CTextLine*>(column)->m_lstTextLines)
          words += static_cast<nsPDFData::CTextLine*>(line)->m_lstTextWords.size();
    const auto start = Clock::now();
    analyze(*page);
    best = std::min(best, Seconds(start));
  }
  return best;
}

// Over a many-page document: the mean capture time of a page (load, record, text capture)
// beside the mean time of each analysis variant on it.
struct PerPage {
  double m_dCapture = 0, m_dText = 0, m_dSlide = 0;
};

bool MeasurePerPage(const std::wstring& path, int pages, PerPage& out) {
  CMuInterface doc;
  doc.m_nOutputKind = KIND_CSV;
  if (doc.OpenDocument(path, "", "") < pages) return false;
  for (int n = 1; n <= pages; ++n) {
    for (auto analyze : {AnalyzeTextLayout, AnalyzeSlideLayout}) {
      const auto start = Clock::now();
      nsPDFData::CTextPage* page = doc.LoadPage(n);
      out.m_dCapture += Seconds(start) / 2;
      if (!page) return false;
      const auto analysis = Clock::now();
      analyze(*page);
      (analyze == AnalyzeTextLayout ? out.m_dText : out.m_dSlide) += Seconds(analysis);
    }
  }
  out.m_dCapture /= pages;
  out.m_dText /= pages;
  out.m_dSlide /= pages;
  return true;
}

}  // namespace

int main() {
  const fs::path path = fs::temp_directory_path() / ("pagevane-layout-bench-" + std::to_string(::getpid()) + ".pdf");
  if (!fixtures::WritePdf(path, DensePage())) {
    std::fprintf(stderr, "Cannot write the benchmark page\n");
    return 1;
  }
  size_t words = 0;
  const double parse = ParseSeconds(path.string());
  const double text = AnalysisSeconds(platform::FromPath(path), AnalyzeTextLayout, words);
  const double slide = AnalysisSeconds(platform::FromPath(path), AnalyzeSlideLayout, words);
  std::error_code ec;
  fs::remove(path, ec);
  constexpr int kPages = 200;
  const fs::path running = fs::temp_directory_path() / ("pagevane-layout-bench-" + std::to_string(::getpid()) + "-200.pdf");
  PerPage perPage;
  const bool perPageOk = fixtures::WritePdf(running, bench::RunningText(kPages)) &&
                         MeasurePerPage(platform::FromPath(running), kPages, perPage);
  fs::remove(running, ec);
  std::printf("Layout analysis of one page of %zu words, best of %d runs\n\n", words, kRuns);
  std::printf("%-34s %10.2f ms\n", "MuPDF: load and record the page", parse * 1000);
  std::printf("%-34s %10.2f ms  (%.2f of parsing)\n", "AnalyzeTextLayout", text * 1000, text / parse);
  std::printf("%-34s %10.2f ms  (%.2f of parsing)\n", "AnalyzeSlideLayout", slide * 1000, slide / parse);
  if (perPageOk) {
    std::printf("\nMean per page over a %d-page running-text document\n\n", kPages);
    std::printf("%-34s %10.3f ms\n", "Capture (load, record, text)", perPage.m_dCapture * 1000);
    std::printf("%-34s %10.3f ms\n", "AnalyzeTextLayout", perPage.m_dText * 1000);
    std::printf("%-34s %10.3f ms\n", "AnalyzeSlideLayout", perPage.m_dSlide * 1000);
  }
  return parse > 0 && text >= 0 && slide >= 0 && perPageOk ? 0 : 1;
}
