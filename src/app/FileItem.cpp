#include "app/FileItem.h"

#include <algorithm>
#include <charconv>

CFileItem* CFileItemList::Find(int nIndex) {
  std::lock_guard lock(m_lock);
  for (auto& item : m_vecItems)
    if (item->m_nIndex == nIndex) return item.get();
  return nullptr;
}

void CFileItemList::Append(std::unique_ptr<CFileItem> item) {
  if (!item) return;
  std::lock_guard lock(m_lock);
  m_vecItems.push_back(std::move(item));
}

void CFileItemList::RemoveAt(int nPosition) {
  std::lock_guard lock(m_lock);
  if (nPosition < 1 || static_cast<size_t>(nPosition) > m_vecItems.size()) return;
  m_vecItems.erase(m_vecItems.begin() + (nPosition - 1));
}

void CFileItemList::Renumber() {
  std::lock_guard lock(m_lock);
  std::stable_sort(m_vecItems.begin(), m_vecItems.end(),
                   [](const auto& a, const auto& b) { return a->m_nIndex < b->m_nIndex; });
  int32_t next = 1;
  for (auto& item : m_vecItems) item->m_nIndex = next++;
}

void CFileItemList::Clear() {
  std::lock_guard lock(m_lock);
  m_vecItems.clear();
}

bool CFileItemList::SetPasswordAndPages(int nIndex, const std::wstring& strPassword, int nPages) {
  std::lock_guard lock(m_lock);
  for (auto& item : m_vecItems) {
    if (item->m_nIndex != nIndex) continue;
    item->m_strUserPassword = strPassword;
    item->m_strOwnerPassword = strPassword;
    item->m_nPageCount = nPages;
    return true;
  }
  return false;
}

int CFileItemList::Count() {
  std::lock_guard lock(m_lock);
  return static_cast<int>(m_vecItems.size());
}

// Formatted with to_chars: the decimal point stays a point whatever the user's locale.
std::wstring FormatSizeText(uint64_t nBytes) {
  char text[64];
  std::to_chars_result end{};
  const char* unit = " BYTE";
  if (nBytes >= 1048576) {
    end = std::to_chars(text, text + sizeof text, static_cast<double>(nBytes) / 1048576.0,
                        std::chars_format::fixed, 1);
    unit = " MB";
  } else if (nBytes >= 1024) {
    end = std::to_chars(text, text + sizeof text, nBytes / 1024);
    unit = " KB";
  } else {
    end = std::to_chars(text, text + sizeof text, nBytes);
  }
  std::wstring result(text, end.ptr);
  for (const char* c = unit; *c; ++c) result += static_cast<wchar_t>(*c);
  return result;
}

std::wstring FormatDoneText(const std::wstring& strOutputName) {
  if (strOutputName.size() <= 18) return strOutputName;
  return strOutputName.substr(0, 8) + L"..." + strOutputName.substr(strOutputName.size() - 10);
}
