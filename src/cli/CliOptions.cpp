#include "cli/CliOptions.h"

#include <CLI/CLI.hpp>

#include <climits>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <system_error>
#include <thread>

#include "cli/ExitCodes.h"
#include "driver/OutputKind.h"
#include "driver/PageRange.h"
#include "platform/Strings.h"

const char* const kPageRangeRule =
    "items separated by commas, each N or N-M, numbers rising, no spaces (e.g. 1,3-5,19)";

namespace {

// More converters than this only add engine contexts that wait for the same cores.
constexpr int kMaxJobs = 64;

std::string Footer() {
  return std::string(
             "Each FILE becomes its name without \".pdf\" plus .txt or .pptx in the output folder;\n"
             "when that name is taken, (1), (2), ... is added.\n"
             "Page ranges: ") +
         kPageRangeRule +
         ";\n\"all pages\" or an empty range means every page.\n"
         "Protected files: without --password or --password-file the password is asked for\n"
         "when standard input is a terminal; otherwise such files fail. A password given with\n"
         "--password can be seen by other users of this machine (in the process list): prefer\n"
         "--password-file or the prompt.\n"
         "Ctrl-C cancels the running conversions and leaves no partial file; a second Ctrl-C\n"
         "quits at once.\n"
         "Exit codes: 0 every file done, 1 any file failed, 2 usage error, 130 cancelled.";
}

// Reads the first line of `file` into `password`; prints why and returns false on failure.
bool ReadPasswordFile(const std::string& file, std::string& password) {
  std::error_code ec;
  if (std::filesystem::is_directory(file, ec)) {
    std::cerr << "Cannot read the password file " << file << ": it is a folder.\n";
    return false;
  }
  std::ifstream in(file, std::ios::binary);
  if (!in.is_open()) {
    std::cerr << "Cannot open the password file " << file << ".\n";
    return false;
  }
  std::getline(in, password);
  if (in.bad()) {
    std::cerr << "Cannot read the password file " << file << ".\n";
    return false;
  }
  if (!password.empty() && password.back() == '\r') password.pop_back();
  if (password.empty()) {
    std::cerr << "The first line of the password file " << file << " is empty.\n";
    return false;
  }
  return true;
}

int DefaultJobs() {
  const unsigned cores = std::thread::hardware_concurrency();
  return cores == 0 ? 1 : static_cast<int>(std::min<unsigned>(cores, kMaxJobs));
}

// The checks CLI11 cannot make; prints the reason and returns false for a usage error.
bool CheckValues(const std::string& to, const std::string& pages, const std::string& passwordFile,
                 CCliOptions& options) {
  if (options.m_bPasswordGiven && passwordFile.empty() && options.m_strPassword.empty()) {
    std::cerr << "The password given with --password is empty.\n";
    return false;
  }
  options.m_nKind = to == "pptx" ? KIND_POWERPOINT : KIND_TEXT;
  options.m_strPageRange = platform::Utf8ToWide(pages);
  // Grammar and rising numbers only: the page count of each file is checked when its job is built.
  if (!CheckPageRange(options.m_strPageRange, INT_MAX)) {
    std::cerr << "Invalid page range \"" << pages << "\": " << kPageRangeRule << ".\n";
    return false;
  }
  if (!passwordFile.empty()) {
    if (!ReadPasswordFile(passwordFile, options.m_strPassword)) return false;
    options.m_bPasswordGiven = true;
  }
  std::error_code ec;
  if (!options.m_bInfo && platform::WideToUtf8(platform::Utf8ToWide(options.m_strOutputDir)) != options.m_strOutputDir) {
    std::cerr << "The output folder's name is not valid UTF-8.\n";
    return false;
  }
  if (!options.m_bInfo && !std::filesystem::is_directory(options.m_strOutputDir, ec)) {
    std::cerr << "Output folder does not exist, please select a valid output folder.\n";
    return false;
  }
  return true;
}

int Parse(int argc, char** argv, CCliOptions& options) {
  CLI::App app{"Pagevane: converts PDF files into plain text (.txt) and PowerPoint presentations (.pptx)."};
  app.name("pagevane-cli");
  app.set_version_flag("--version", std::string(PAGEVANE_VERSION));
  app.footer(Footer());

  std::string to = "txt";
  std::string pages;
  std::string passwordFile;
  options.m_nJobs = DefaultJobs();
  auto* info = app.add_flag("--info", options.m_bInfo,
                            "List each file's page count, page sizes and password state; convert nothing");
  auto* toOption = app.add_option("--to", to, "Output kind: txt (plain UTF-8 text, the default) or pptx")
                       ->check(CLI::IsMember({"txt", "pptx"}).description(""))
                       ->type_name("KIND");
  auto* pagesOption = app.add_option("--pages", pages, "Pages to convert from each file, e.g. 1,3-5,19 (default: all)")
                          ->type_name("RANGE");
  auto* passwordOption =
      app.add_option("--password", options.m_strPassword,
                     "Password of protected files (other users can see it: read below)")
          ->type_name("PW");
  auto* passwordFileOption =
      app.add_option("--password-file", passwordFile, "Read the password from the first line of file F")
          ->type_name("F");
  auto* outputOption = app.add_option("--output-dir", options.m_strOutputDir,
                                      "Folder for the output files (default: the current folder)")
                           ->type_name("DIR");
  auto* jobsOption = app.add_option("--jobs", options.m_nJobs,
                                    "Convert N files at once, 1 to " + std::to_string(kMaxJobs) +
                                        " (default: the number of cores, " + std::to_string(DefaultJobs()) + ")")
                         ->check(CLI::Range(1, kMaxJobs).description(""))
                         ->type_name("N");
  app.add_option("files", options.m_vecFiles, "PDF files")->required()->type_name("FILE");

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return code == 0 ? EXIT_ALL_DONE : EXIT_USAGE;
  }
  if (passwordOption->count() > 0 && passwordFileOption->count() > 0) {
    std::cerr << "Give the password either with --password or with --password-file, not both.\n";
    return EXIT_USAGE;
  }
  if (*info && (*toOption || *pagesOption || *outputOption || *jobsOption)) {
    std::cerr << "--info converts nothing: it takes no --to, --pages, --output-dir or --jobs.\n";
    return EXIT_USAGE;
  }
  options.m_bPasswordGiven = passwordOption->count() > 0;
  options.m_bOutputDirGiven = outputOption->count() > 0;
  return CheckValues(to, pages, passwordFile, options) ? kContinue : EXIT_USAGE;
}

}  // namespace

int ParseCommandLine(int argc, char** argv, CCliOptions& options) {
  try {
    return Parse(argc, argv, options);
  } catch (const std::exception& e) {
    std::cerr << "pagevane-cli: " << e.what() << "\n";
    return EXIT_USAGE;
  }
}
