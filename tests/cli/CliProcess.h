#pragma once
// Runs the built pagevane-cli as a child process for the command-line tests: its output
// captured, its standard error optionally on a pseudo-terminal (so the progress bar is
// drawn), its standard input optionally on one too (so it may prompt), bounded in time.

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace cli_test {

struct CliResult {
  int m_nExit = -1;         // exit code, or 128 + signal when a signal ended it
  std::string m_strOut;     // standard output
  std::string m_strErr;     // standard error (or what it wrote to its terminal)
  bool m_bTimedOut = false; // killed after the time limit
};

struct CliRunOptions {
  std::filesystem::path m_cwd;          // working folder; empty: the test's own
  bool m_bStderrTerminal = false;       // standard error on a pseudo-terminal
  bool m_bStdinTerminal = false;        // standard input on a pseudo-terminal
  std::chrono::seconds m_limit{120};    // killed after this long
  // Called whenever standard error grows, with everything it wrote so far. `write` sends
  // bytes to the child's terminal input (only with m_bStdinTerminal).
  std::function<void(pid_t pid, const std::string& err, const std::function<void(const std::string&)>& write)>
      m_onStderr;
  std::string* m_pTerminalInput = nullptr;  // receives what the stdin terminal echoed
  bool* m_pEchoOnAtExit = nullptr;          // receives whether that terminal echoes after the run
};

// Runs `PAGEVANE_CLI_PATH args...`.
CliResult RunCli(const std::vector<std::string>& args, const CliRunOptions& options = {});

}  // namespace cli_test
