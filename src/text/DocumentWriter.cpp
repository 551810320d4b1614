#include "text/DocumentWriter.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "capture/TextPage.h"
#include "driver/MeasureText.h"
#include "platform/Strings.h"

namespace {

constexpr wchar_t kCrLf[] = L"\r\n";
constexpr wchar_t kHeaderStars[] = L"****************************";

// The words of one text line separated by single blanks.
void AppendLineWords(std::wstring& out, const nsPDFData::CTextLine& line) {
  bool first = true;
  for (const auto* base : line.m_lstTextWords) {
    const auto* word = dynamic_cast<const nsPDFData::CTextWord*>(base);
    if (!word) continue;
    if (!first) out += L' ';
    out += word->m_strText;
    first = false;
  }
}

// One column as one paragraph: its lines joined by single blanks.
void AppendColumn(std::wstring& out, const nsPDFData::CTextLine& column) {
  size_t remaining = column.m_lstTextLines.size();
  for (const auto* base : column.m_lstTextLines) {
    --remaining;
    const auto* line = dynamic_cast<const nsPDFData::CTextLine*>(base);
    if (line) AppendLineWords(out, *line);
    if (remaining > 0) out += L' ';
  }
  out += kCrLf;
  out += kCrLf;
}

bool WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

std::wstring ErrnoText(int error) { return platform::Utf8ToWide(std::strerror(error)); }

}  // namespace

bool CDocumentWriter::BeginDocument(const std::wstring&, int, int, int writerMode,
                                    const std::wstring& outputPath) {
  m_strBody.clear();
  m_strError.clear();
  m_strOutputPath = outputPath;
  CMeasureHook& hook = GetMeasureHook();
  hook.m_nMode = writerMode;
  hook.m_pfnMeasure = MeasureText;
  return true;
}

bool CDocumentWriter::AddPage(nsPDFData::CTextPage& page, int sequence) {
  m_strBody += BuildPageText(sequence, page);
  return true;
}

std::wstring CDocumentWriter::BuildPageText(int sequence, const nsPDFData::CTextPage& page) {
  std::wstring out;
  if (sequence > 1) out += kCrLf;
  out += kHeaderStars;
  out += L" Page " + std::to_wstring(sequence) + kHeaderStars;
  out += kCrLf;
  out += kCrLf;
  for (const auto* blockBase : page.m_lstTextLines) {
    const auto* block = dynamic_cast<const nsPDFData::CTextLine*>(blockBase);
    if (!block) continue;
    for (const auto* columnBase : block->m_lstTextLines)
      if (const auto* column = dynamic_cast<const nsPDFData::CTextLine*>(columnBase)) AppendColumn(out, *column);
  }
  for (const auto* floating : page.m_vecFloatTexts) {
    if (floating->m_pLine) AppendLineWords(out, *floating->m_pLine);
    out += kCrLf;
    out += kCrLf;
  }
  out += kCrLf;
  out += kCrLf;
  return out;
}

// The file is created exclusively: a file that exists under the output name is never
// appended to or overwritten. A write that fails removes what it created.
bool CDocumentWriter::WriteTextFile(const std::wstring& outputPath) {
  m_strError.clear();
  auto path = platform::ToPath(outputPath);
  if (!path) {
    m_strError = L"The output path cannot be used: " + outputPath;
    return false;
  }
  int fd = ::open(path->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) {
    m_strError = L"Cannot create the output file: " + ErrnoText(errno);
    return false;
  }
  const std::string bytes = "\xEF\xBB\xBF" + platform::WideToUtf8Lossy(m_strBody);
  bool ok = WriteAll(fd, bytes);
  int error = ok ? 0 : errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (!ok) {
    ::unlink(path->c_str());
    m_strError = L"Cannot write the output file: " + ErrnoText(error);
  }
  return ok;
}
