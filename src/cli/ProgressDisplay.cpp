#include "cli/ProgressDisplay.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kBarWidth = 30;        // characters between the brackets
constexpr size_t kDefaultColumns = 80;

size_t TerminalColumns(std::FILE* stream) {
  winsize size{};
  if (::ioctl(::fileno(stream), TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return kDefaultColumns;
}

// Drops the bytes of a UTF-8 character that a cut left incomplete at the end.
void TrimPartialCharacter(std::string& text) {
  size_t start = text.size();
  while (start > 0 && (static_cast<unsigned char>(text[start - 1]) & 0xC0) == 0x80) --start;
  if (start == 0) return;
  const unsigned char lead = static_cast<unsigned char>(text[start - 1]);
  const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  if (text.size() - (start - 1) < length) text.resize(start - 1);
}

}  // namespace

CProgressDisplay::CProgressDisplay(std::FILE* out, std::FILE* err, bool showBar, size_t fileCount)
    : m_pOut(out), m_pErr(err), m_bShowBar(showBar), m_nFileCount(fileCount) {}

CProgressDisplay::~CProgressDisplay() { Clear(); }

void CProgressDisplay::Started(int item, const std::string& input) {
  m_mapRunning[item] = 0;
  // The bar has one line: the name without its folder leaves room for it.
  const size_t slash = input.find_last_of('/');
  m_strCurrent = slash == std::string::npos ? input : input.substr(slash + 1);
  Draw();
}

void CProgressDisplay::Progress(int item, float fraction) {
  auto it = m_mapRunning.find(item);
  if (it == m_mapRunning.end()) return;
  it->second = std::clamp(fraction, 0.0f, 1.0f);
  Draw();
}

void CProgressDisplay::Done(int item, const std::string& input, const std::string& output,
                            const std::string& note) {
  Finish(item);
  PrintLine(m_pOut, "done: " + input + " -> " + output);
  if (!note.empty()) PrintLine(m_pErr, "warning: " + input + ": " + note);
  Draw();
}

void CProgressDisplay::Failed(int item, const std::string& input, const std::string& reason) {
  Finish(item);
  PrintLine(m_pOut, "failed: " + input + ": " + reason);
  Draw();
}

void CProgressDisplay::Cancelled(int item, const std::string& input) {
  Finish(item);
  PrintLine(m_pOut, "cancelled: " + input);
  Draw();
}

void CProgressDisplay::Suspend() { Clear(); }

void CProgressDisplay::Finish(int item) {
  m_mapRunning.erase(item);
  ++m_nFinished;
}

// The bar shares the terminal with the result lines when stdout is that terminal too: it
// is cleared before each line and drawn again after it.
void CProgressDisplay::PrintLine(std::FILE* stream, const std::string& line) {
  Clear();
  std::fputs(line.c_str(), stream);
  std::fputc('\n', stream);
  std::fflush(stream);
}

void CProgressDisplay::Draw() {
  if (!m_bShowBar || m_nFileCount == 0) return;
  double done = static_cast<double>(m_nFinished);
  for (const auto& [item, fraction] : m_mapRunning) done += fraction;
  const double total = done / static_cast<double>(m_nFileCount);
  const int filled = std::clamp(static_cast<int>(std::floor(total * kBarWidth)), 0, kBarWidth);
  std::string line = "[";
  line.append(static_cast<size_t>(filled), '#');
  line.append(static_cast<size_t>(kBarWidth - filled), '-');
  line += "] ";
  const int percent = static_cast<int>(std::floor(total * 100));
  line += (percent < 10 ? "  " : percent < 100 ? " " : "") + std::to_string(percent) + "%  ";
  line += std::to_string(m_nFinished) + "/" + std::to_string(m_nFileCount) + " files";
  if (!m_mapRunning.empty()) line += "  " + m_strCurrent;
  // A line that wraps could not be redrawn in place.
  const size_t columns = TerminalColumns(m_pErr);
  if (line.size() >= columns) {
    line.resize(columns - 1);
    TrimPartialCharacter(line);
  }
  if (line == m_strDrawn) return;
  std::fputs("\r\033[K", m_pErr);
  std::fputs(line.c_str(), m_pErr);
  std::fflush(m_pErr);
  m_strDrawn = line;
}

void CProgressDisplay::Clear() {
  if (m_strDrawn.empty()) return;
  std::fputs("\r\033[K", m_pErr);
  std::fflush(m_pErr);
  m_strDrawn.clear();
}
