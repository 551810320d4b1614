#pragma once
// Exit codes of pagevane-cli.

enum ECliExit : int {
  EXIT_ALL_DONE = 0,     // every file converted (or, with --info, opened)
  EXIT_SOME_FAILED = 1,  // at least one file failed
  EXIT_USAGE = 2,        // the command line or one of its values was refused
  EXIT_CANCELLED = 130,  // Ctrl-C cancelled the batch (128 + SIGINT, as shells report it)
};

// ParseCommandLine's answer when the program should go on with the parsed options.
constexpr int kContinue = -1;
