#include "cli/OutputNamer.h"

#include <cwctype>

#include "driver/OutputPath.h"

namespace {

bool EndsInPdf(const std::wstring& name) {
  if (name.size() < 4) return false;
  std::wstring tail = name.substr(name.size() - 4);
  for (auto& c : tail) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
  return tail == L".pdf";
}

}  // namespace

std::wstring COutputNamer::Reserve(const std::wstring& inputPath, int kind) {
  const size_t slash = inputPath.find_last_of(L'/');
  std::wstring fileName = slash == std::wstring::npos ? inputPath : inputPath.substr(slash + 1);
  // The naming rule drops the last four characters, which are ".pdf" for every file the
  // desktop program admits; any other name is kept whole.
  if (!EndsInPdf(fileName)) fileName += L".pdf";
  std::lock_guard lock(m_lock);
  std::wstring path = MakeUniqueOutputPath(m_strFolder, fileName, kind, m_setReserved);
  if (!path.empty()) m_setReserved.insert(path);
  return path;
}

void COutputNamer::Release(const std::wstring& outputPath) {
  std::lock_guard lock(m_lock);
  m_setReserved.erase(outputPath);
}
