// Conversion benchmark: pagevane-cli --to txt and --to pptx against mutool draw -F txt on the same
// running-text PDFs, in the same run. Reports wall time, pages per second and peak
// resident memory of each child process. Run by hand; see README.md.

#include <spawn.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fcntl.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "BenchDocuments.h"
#include "FixtureBuilder.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr int kRuns = 3;          // each measurement is the best of this many runs

struct Measure {
  double m_dSeconds = 0;   // wall time of the child
  long m_nPeakKiB = 0;     // its peak resident memory
};

// Runs `argv` with its output thrown away; nullopt when it cannot start or does not exit with 0.
std::optional<Measure> RunOnce(const std::vector<std::string>& args) {
  std::vector<std::string> copy = args;
  std::vector<char*> argv;
  for (auto& arg : copy) argv.push_back(arg.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = -1;
  const int spawned = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return std::nullopt;
  int status = 0;
  rusage usage{};
  // wait4 gives this child's own peak, unlike RUSAGE_CHILDREN's maximum over all children.
  if (::wait4(pid, &status, 0, &usage) != pid) return std::nullopt;
  const auto end = std::chrono::steady_clock::now();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  return Measure{std::chrono::duration<double>(end - start).count(), usage.ru_maxrss};
}

// Best time and highest peak over kRuns runs; `prepare` runs before each.
template <typename Prepare>
std::optional<Measure> Best(const std::vector<std::string>& args, Prepare prepare) {
  std::optional<Measure> best;
  for (int run = 0; run < kRuns; ++run) {
    prepare();
    auto measure = RunOnce(args);
    if (!measure) return std::nullopt;
    if (!best) {
      best = measure;
    } else {
      best->m_dSeconds = std::min(best->m_dSeconds, measure->m_dSeconds);
      best->m_nPeakKiB = std::max(best->m_nPeakKiB, measure->m_nPeakKiB);
    }
  }
  return best;
}

bool HaveMutool() {
  return ::system("command -v mutool >/dev/null 2>&1") == 0;
}

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
    std::string error;
    if (!fixtures::WritePdf(dir / file.m_pszName, bench::RunningText(file.m_nPages), &error)) {
      std::fprintf(stderr, "Cannot write %s: %s\n", file.m_pszName, error.c_str());
      return 1;
    }
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
