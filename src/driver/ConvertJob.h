#pragma once
// One PDF file to convert into one output. A value type: the queue and the worker hold
// copies of their own.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Result codes of ConvertFile, also the notification types 0 to 2.
enum EConvertResult : int {
  CONVERT_DONE = 0,
  CONVERT_FAILED = 1,
  CONVERT_CANCELLED = 2,
};

struct CConvertJob {
  std::wstring m_strInputPath;       // full path of the PDF
  std::wstring m_strOutputPath;      // full path of the output, already unique
  std::vector<int32_t> m_vecPages;   // 1-based page numbers in conversion order
  std::string m_strUserPassword;     // UTF-8; empty when the file needs none
  std::string m_strOwnerPassword;    // UTF-8; empty when the file needs none
  int32_t m_nKind = 0;               // output kind code
  int32_t m_nWriterMode = 1;         // writer mode word; the file list always sets 1
  int32_t m_nImageDpi = 0;           // page image resolution; 96 for page images, else 0
  int32_t m_nItemIndex = 0;          // 1-based file-list index; names the job in notifications
  std::array<int32_t, 4> m_arrSheetOptions{};  // spreadsheet options; 0 for other kinds
};
