#pragma once
// Asks for a protected file's password on the terminal, without echo.

#include <functional>
#include <string>

enum EPromptResult {
  PROMPT_ENTERED,      // a non-empty password was read
  PROMPT_EMPTY,        // the user entered an empty line or closed the input
  PROMPT_INTERRUPTED,  // Ctrl-C while waiting
  PROMPT_UNAVAILABLE,  // standard input is not a terminal, or its echo cannot be switched off
};

// True when standard input is a terminal, so a prompt can be answered.
bool CanPromptForPassword();

// Writes "Password for FILE: " to stderr and reads one line from standard input with echo
// off; the terminal's settings are restored before it returns, also after Ctrl-C.
// `interrupted` tells whether Ctrl-C was pressed; it is asked before the wait and after
// every signal that ends it, so a Ctrl-C just before the wait is not missed.
EPromptResult PromptForPassword(const std::string& fileName, std::string& password,
                                const std::function<bool()>& interrupted);
