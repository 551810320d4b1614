#include "cli/InfoCommand.h"

#include <charconv>
#include <ostream>

#include "pdf/MuInterface.h"
#include "platform/Strings.h"

namespace {

std::string FormatPoints(float value) {
  char buffer[32];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
  return ec == std::errc() ? std::string(buffer, end) : "?";
}

const char* DescribeFailure(int code) {
  switch (code) {
    case OPEN_NO_CONTEXT: return "the PDF engine could not be started";
    case OPEN_CANNOT_READ: return "cannot be opened for reading";
    case OPEN_BAD_PATH: return "the path is too long or cannot be converted";
    case OPEN_NEEDS_PASSWORD: return "wrong password";
    default: return "not a PDF or damaged";
  }
}

// Reports one file; true when it opened.
bool ReportFile(const std::string& file, const std::string& password, bool passwordGiven,
                std::ostream& out) {
  const std::wstring path = platform::Utf8ToWide(file);
  const bool needsPassword = CMuInterface::CheckDocument(path, "", "") == OPEN_NEEDS_PASSWORD;
  CMuInterface doc{CMuInterface::PreviewInstance{}};
  const int count = doc.OpenDocument(path, password, "");
  out << file << ":\n";
  out << "  password: " << (needsPassword ? "required" : "not required");
  if (needsPassword) out << (passwordGiven ? (count >= 0 ? ", accepted" : ", rejected") : ", none given");
  out << "\n";
  if (count < 0) {
    if (!(needsPassword && count == OPEN_NEEDS_PASSWORD)) out << "  error: " << DescribeFailure(count) << "\n";
    return false;
  }
  out << "  pages: " << count << "\n";
  for (int page = 1; page <= count; ++page) {
    float width = 0, height = 0;
    doc.GetPageSize(page, width, height);
    out << "  page " << page << ": " << FormatPoints(width) << " x " << FormatPoints(height) << " pt\n";
  }
  return true;
}

}  // namespace

int RunInfo(const std::vector<std::string>& files, const std::string& password, bool passwordGiven,
            std::ostream& out) {
  bool allOpened = true;
  for (const auto& file : files) allOpened = ReportFile(file, password, passwordGiven, out) && allOpened;
  return allOpened ? 0 : 1;
}
