// Conversion benchmark: pagevane-cli --to txt and --to pptx against mutool draw -F txt on the same
// running-text PDFs, in the same run. Reports wall time, pages per second and peak
// resident memory of each child process. Run by hand; see README.md.

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>

#include "BenchDocuments.h"
#include "BenchProcess.h"
#include "FixtureBuilder.h"

namespace {

namespace fs = std::filesystem;

using bench::Best;
using bench::HaveMutool;
using bench::kRuns;
using bench::Measure;

void PrintRow(const char* file, int pages, const char* tool, const std::optional<Measure>& measure) {
  if (!measure) {
    std::printf("%-16s %5d  %-22s  %s\n", file, pages, tool, "failed to run");
    return;
  }
  std::printf("%-16s %5d  %-22s %8.3f %9.1f %10.1f\n", file, pages, tool, measure->m_dSeconds,
              pages / measure->m_dSeconds, measure->m_nPeakKiB / 1024.0);
}

}  // namespace

int main() {
#ifdef PAGEVANE_BENCH_SANITIZED
  std::printf("Warning: this build uses sanitizers; configure a Release build for real figures.\n\n");
#endif
  std::error_code ec;
  const fs::path dir = fs::temp_directory_path() / ("pagevane-bench-" + std::to_string(::getpid()));
  fs::create_directories(dir / "out", ec);
  const struct {
    const char* m_pszName;
    int m_nPages;
  } files[] = {{"running-200.pdf", 200}, {"running-20.pdf", 20}};
  for (const auto& file : files) {
    if (!bench::WritePdfInChild(dir / file.m_pszName, [&] { return bench::RunningText(file.m_nPages); })) return 1;
  }
  const bool mutool = HaveMutool();
  std::printf("Text output, best of %d runs (wall time of the whole process, peak resident memory)\n\n", kRuns);
  std::printf("%-16s %5s  %-22s %8s %9s %10s\n", "File", "Pages", "Tool", "Time (s)", "Pages/s", "Peak (MiB)");
  std::optional<Measure> ours[2], theirs[2], slides[2];
  for (int i = 0; i < 2; ++i) {
    const std::string input = (dir / files[i].m_pszName).string();
    const std::string base(files[i].m_pszName, std::strlen(files[i].m_pszName) - 4);
    auto convert = [&](const char* kind) {
      const fs::path output = dir / "out" / (base + "." + kind);
      return Best({PAGEVANE_CLI_PATH, "--to", kind, "--jobs", "1", "--output-dir", (dir / "out").string(), input},
                  [&] { fs::remove(output, ec); });
    };
    ours[i] = convert("txt");
    PrintRow(files[i].m_pszName, files[i].m_nPages, "pagevane-cli --to txt", ours[i]);
    slides[i] = convert("pptx");
    PrintRow(files[i].m_pszName, files[i].m_nPages, "pagevane-cli --to pptx", slides[i]);
    if (mutool) {
      theirs[i] = Best({"mutool", "draw", "-F", "txt", "-o", "/dev/null", input}, [] {});
      PrintRow(files[i].m_pszName, files[i].m_nPages, "mutool draw -F txt", theirs[i]);
    }
  }
  std::printf("\n");
  if (!mutool) std::printf("mutool not found: install mupdf-tools (scripts/setup.sh) for the comparison.\n");
  if (ours[0] && theirs[0])
    std::printf("Time, 200 pages, pagevane-cli / mutool:          %5.2f (target: at most 1.50)\n",
                ours[0]->m_dSeconds / theirs[0]->m_dSeconds);
  if (ours[0] && ours[1])
    std::printf("Peak memory, pagevane-cli, 200 pages / 20 pages: %5.2f (target: at most 1.50)\n",
                static_cast<double>(ours[0]->m_nPeakKiB) / static_cast<double>(ours[1]->m_nPeakKiB));
  if (slides[0] && slides[1])
    std::printf("Peak memory, --to pptx, 200 pages / 20 pages:    %5.2f (packing streams: stays near 1)\n",
                static_cast<double>(slides[0]->m_nPeakKiB) / static_cast<double>(slides[1]->m_nPeakKiB));
  fs::remove_all(dir, ec);
  return ours[0] && ours[1] ? 0 : 1;
}
