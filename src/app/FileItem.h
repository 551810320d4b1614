#pragma once
// The file list's items: one CFileItem per listed PDF, kept in order by CFileItemList.
// Item i (1-based m_nIndex) is always shown on list row i - 1.

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/preview/PreviewDoc.h"

// Item statuses shown in the fifth column.
enum EItemStatus : int32_t {
  ITEM_ADDED = 1,
  ITEM_WAITING = 2,
  ITEM_SKIPPED = 3,
  ITEM_DONE = 6,
  ITEM_FAILED = 7,
};

struct CFileItem {
  std::wstring m_strPath;            // full path of the PDF
  std::wstring m_strFileName;        // the path after its last separator
  std::wstring m_strOutputPath;      // output path chosen when its job was built; empty before
  std::wstring m_strOutputName;      // that path after its last separator
  std::wstring m_strUserPassword;    // accepted password; empty while none is
  std::wstring m_strOwnerPassword;   // the same text as m_strUserPassword
  int32_t m_nPageCount = 0;          // number of pages; 0 until known
  std::wstring m_strPageRange = L"All Pages";  // "All Pages" or a checked range text
  std::wstring m_strSizeText = L"Unknown";     // file size as the list shows it
  int32_t m_nIndex = 0;              // 1-based position in the list
  int32_t m_nStatus = ITEM_WAITING;  // EItemStatus; Added once listed
  std::wstring m_strStatusText;      // the fifth column's text
  bool m_bLocked = false;            // the document asked for a password
  int32_t m_nKind = 2;               // output kind (PowerPoint)
  int32_t m_nWriterMode = 1;
  int32_t m_arrSheetOptions[2][4] = {{0, 0, 1, 1}, {0, 0, 1, 1}};  // dormant spreadsheet kinds
  int32_t m_nImageDpi = 96;
  // The preview state, made once the page count is known (at import, or when a password is
  // accepted); null for a locked file and a file without pages.
  std::unique_ptr<CPreviewDoc> m_pPreview;

  // Locked and no password accepted yet: cannot be previewed or converted.
  bool IsLockedWithoutPassword() const {
    return m_bLocked && m_strUserPassword.empty() && m_strOwnerPassword.empty();
  }
};

// The ordered, owning store of the list's items. Each operation holds the lock for its
// whole duration; pointers it returns are borrowed and stay valid until the item is removed.
class CFileItemList {
 public:
  CFileItemList() = default;
  CFileItemList(const CFileItemList&) = delete;
  CFileItemList& operator=(const CFileItemList&) = delete;

  // The item whose m_nIndex equals nIndex; null when none (or the list is empty).
  CFileItem* Find(int nIndex);
  void Append(std::unique_ptr<CFileItem> item);
  // Removes and destroys the item at 1-based nPosition; nothing when out of range.
  void RemoveAt(int nPosition);
  // Gives the items indexes 1, 2, 3, ... in the order of their old indexes.
  void Renumber();
  void Clear();
  // Stores the accepted password in both slots and the page count on the item nIndex.
  // False when no such item exists.
  bool SetPasswordAndPages(int nIndex, const std::wstring& strPassword, int nPages);
  int Count();

 private:
  std::mutex m_lock;
  std::vector<std::unique_ptr<CFileItem>> m_vecItems;
};

// The fifth column's text of a finished item: its output name, or for a name longer than 18
// characters the first 8, "..." and the last 10.
std::wstring FormatDoneText(const std::wstring& strOutputName);

// The size text of the list: "%0.1f MB" from 1048576 bytes, "%d KB" (truncated) from 1024,
// "%d BYTE" below.
std::wstring FormatSizeText(uint64_t nBytes);
