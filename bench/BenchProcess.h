#pragma once
// Child processes for the benchmarks: run a command with its output thrown away and measure
// its wall time and peak resident memory (wait4 gives the child's own peak).

#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "FixtureBuilder.h"

extern char** environ;

namespace bench {

constexpr int kRuns = 3;  // each measurement is the best of this many runs

struct Measure {
  double m_dSeconds = 0;  // wall time of the child
  long m_nPeakKiB = 0;    // its peak resident memory
};

// Runs `args` with its output thrown away; nullopt when it cannot start or does not exit with 0.
inline std::optional<Measure> RunOnce(const std::vector<std::string>& args) {
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

// Runs `work` in a forked child and waits for it; true when it returned true. Writing the
// documents this way keeps the harness small: a spawned child shares the harness's memory
// until it executes its program, and the kernel counts the harness's peak in the child's.
template <typename Work>
bool InChild(Work work) {
  const pid_t pid = ::fork();
  if (pid < 0) return false;
  if (pid == 0) ::_exit(work() ? 0 : 1);
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Writes the PDF that `makeDoc` describes to `path`, in a child (see InChild); reports a
// failure on standard error. True when the file was written.
template <typename MakeDoc>
bool WritePdfInChild(const std::filesystem::path& path, MakeDoc makeDoc) {
  return InChild([&] {
    std::string error;
    if (fixtures::WritePdf(path, makeDoc(), &error)) return true;
    std::fprintf(stderr, "Cannot write %s: %s\n", path.filename().c_str(), error.c_str());
    return false;
  });
}

inline bool HaveMutool() { return ::system("command -v mutool >/dev/null 2>&1") == 0; }

}  // namespace bench
