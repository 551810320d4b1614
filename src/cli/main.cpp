// pagevane-cli: the converter from the command line.

#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "cli/BatchRunner.h"
#include "cli/CliOptions.h"
#include "cli/ExitCodes.h"
#include "cli/InfoCommand.h"
#include "cli/InterruptWatch.h"
#include "cli/ProgressDisplay.h"

namespace {

int Convert(const CCliOptions& options) {
  CInterruptWatch interrupts;
  if (!interrupts.IsValid()) {
    std::fprintf(stderr, "pagevane-cli: cannot watch for Ctrl-C; nothing was converted.\n");
    return EXIT_SOME_FAILED;
  }
  CProgressDisplay display(stdout, stderr, ::isatty(STDERR_FILENO) == 1, options.m_vecFiles.size());
  CBatchRunner runner(options, display, interrupts);
  return runner.Run();
}

}  // namespace

int main(int argc, char** argv) {
  CCliOptions options;
  const int parsed = ParseCommandLine(argc, argv, options);
  if (parsed != kContinue) return parsed;
  if (options.m_bInfo) return RunInfo(options.m_vecFiles, options.m_strPassword, options.m_bPasswordGiven, std::cout);
  return Convert(options);
}
