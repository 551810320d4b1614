// Graphics benchmark: pagevane-cli --to pptx on pages of photographs and charts against
// mutool draw rasterising the same pages at 96 dpi, once to PNG (with image encoding) and
// once to PNM (without), in the same run. Reports wall time, pages per second and peak
// resident memory of each child process. Run by hand; see README.md.

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "BenchDocuments.h"
#include "BenchProcess.h"
#include "FixtureBuilder.h"

namespace {

namespace fs = std::filesystem;

using bench::Measure;

void PrintRow(const char* file, int pages, const char* tool, const std::optional<Measure>& measure) {
  if (!measure) {
    std::printf("%-16s %5d  %-28s  %s\n", file, pages, tool, "failed to run");
    return;
  }
  std::printf("%-16s %5d  %-28s %8.3f %9.1f %10.1f\n", file, pages, tool, measure->m_dSeconds,
              pages / measure->m_dSeconds, measure->m_nPeakKiB / 1024.0);
}

double Ratio(const std::optional<Measure>& a, const std::optional<Measure>& b) {
  return a && b ? a->m_dSeconds / b->m_dSeconds : 0;
}

}  // namespace

int main() {
#ifdef PAGEVANE_BENCH_SANITIZED
  std::printf("Warning: this build uses sanitizers; configure a Release build for real figures.\n\n");
#endif
  std::error_code ec;
  const fs::path dir = fs::temp_directory_path() / ("pagevane-graphics-bench-" + std::to_string(::getpid()));
  const fs::path out = dir / "out";
  fs::create_directories(out, ec);
  const struct {
    const char* m_pszName;
    int m_nPages;
  } files[] = {{"charts-100.pdf", 100}, {"charts-10.pdf", 10}};
  for (const auto& file : files) {
    if (!bench::WritePdfInChild(dir / file.m_pszName, [&] { return bench::PhotosAndCharts(file.m_nPages); })) return 1;
  }
  const bool mutool = bench::HaveMutool();
  const auto clearOutput = [&] {
    fs::remove_all(out, ec);
    fs::create_directories(out, ec);
  };
  std::printf("Photographs and charts, best of %d runs (wall time of the whole process, peak resident memory)\n\n",
              bench::kRuns);
  std::printf("%-16s %5s  %-28s %8s %9s %10s\n", "File", "Pages", "Tool", "Time (s)", "Pages/s", "Peak (MiB)");
  std::optional<Measure> ours[2], png[2], pnm[2];
  for (int i = 0; i < 2; ++i) {
    const std::string input = (dir / files[i].m_pszName).string();
    ours[i] = bench::Best({PAGEVANE_CLI_PATH, "--to", "pptx", "--jobs", "1", "--output-dir", out.string(), input},
                          clearOutput);
    PrintRow(files[i].m_pszName, files[i].m_nPages, "pagevane-cli --to pptx", ours[i]);
    if (!mutool) continue;
    png[i] = bench::Best({"mutool", "draw", "-r", "96", "-o", (out / "out%d.png").string(), input}, clearOutput);
    PrintRow(files[i].m_pszName, files[i].m_nPages, "mutool draw -r 96 (PNG)", png[i]);
    pnm[i] = bench::Best({"mutool", "draw", "-r", "96", "-F", "pnm", "-o", (out / "out%d.pnm").string(), input},
                         clearOutput);
    PrintRow(files[i].m_pszName, files[i].m_nPages, "mutool draw -r 96 -F pnm", pnm[i]);
  }
  std::printf("\n");
  if (!mutool) std::printf("mutool not found: install mupdf-tools (scripts/setup.sh) for the comparison.\n");
  if (ours[0] && png[0])
    std::printf("Time, 100 pages, pagevane-cli / mutool PNG:     %5.2f (target: at most 1.00)\n", Ratio(ours[0], png[0]));
  if (ours[0] && pnm[0])
    std::printf("Time, 100 pages, pagevane-cli / mutool PNM:     %5.2f\n", Ratio(ours[0], pnm[0]));
  if (ours[0] && ours[1])
    std::printf("Peak memory, pagevane-cli, 100 pages / 10 pages: %5.2f (must not grow with the page count)\n",
                static_cast<double>(ours[0]->m_nPeakKiB) / static_cast<double>(ours[1]->m_nPeakKiB));
  if (png[0] && png[1])
    std::printf("Peak memory, mutool PNG, 100 pages / 10 pages:   %5.2f\n",
                static_cast<double>(png[0]->m_nPeakKiB) / static_cast<double>(png[1]->m_nPeakKiB));
  fs::remove_all(dir, ec);
  return ours[0] && ours[1] ? 0 : 1;
}
