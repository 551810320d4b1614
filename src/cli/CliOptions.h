#pragma once
// The command line of pagevane-cli: its options, their help text and the checks that
// need no PDF (range grammar, output folder, password file, number of jobs).

#include <string>
#include <vector>

struct CCliOptions {
  std::vector<std::string> m_vecFiles;  // input PDFs as typed (UTF-8)
  bool m_bInfo = false;                 // --info: report on the files instead of converting
  int m_nKind = 0;                      // output kind code (Text unless --to says otherwise)
  std::wstring m_strPageRange;          // --pages; empty means every page
  bool m_bPasswordGiven = false;        // --password or --password-file was used
  std::string m_strPassword;            // the password given, UTF-8
  std::string m_strOutputDir = ".";     // --output-dir; an existing folder once parsed
  bool m_bOutputDirGiven = false;       // false: the current folder, named relative in messages
  int m_nJobs = 1;                      // converters running at once, 1 or more
};

// Parses and checks the command line into `options`. Prints help, the version or a usage
// error itself; returns kContinue when the program should go on, otherwise its exit code
// (0 after --help or --version, 2 for a usage error). Never throws.
int ParseCommandLine(int argc, char** argv, CCliOptions& options);

// The range rule in words, for messages.
extern const char* const kPageRangeRule;
