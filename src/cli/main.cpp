// pagevane-cli: the converter from the command line.

#include <CLI/CLI.hpp>

#include <iostream>

#include "cli/InfoCommand.h"

int main(int argc, char** argv) {
  CLI::App app{"Pagevane: converts PDF files into PowerPoint presentations and plain text."};
  app.set_version_flag("--version", std::string(PAGEVANE_VERSION));
  std::vector<std::string> files;
  std::string password;
  bool info = false;
  app.add_flag("--info", info, "List each file's page count, page sizes and password state");
  auto* passwordOption = app.add_option("--password", password, "Password of protected files");
  app.add_option("files", files, "PDF files")->required();
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return code == 0 ? 0 : 2;
  }
  if (!info) {
    std::cerr << "Conversion is not available in this build yet; use --info.\n";
    return 2;
  }
  return RunInfo(files, password, passwordOption->count() > 0, std::cout);
}
