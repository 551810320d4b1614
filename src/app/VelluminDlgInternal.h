#pragma once
// Helpers shared by the source files of CVelluminDlg; no other code includes this header.

#include <QString>
#include <string>

namespace vellumindlg {

inline QString ToQt(const std::wstring& text) { return QString::fromStdWString(text); }

// Shown (or given as a file's failure reason) when the output folder, as typed, is not an
// existing absolute folder.
inline const char* const kNoFolderText = "Output folder does not exist, please select a valid output folder.";

}  // namespace vellumindlg
