#pragma once
// Output kinds: the integer code carried by every job and file-list item.

#include <string>

enum EOutputKind : int {
  KIND_WORD = 1,
  KIND_POWERPOINT = 2,
  KIND_EXCEL = 3,
  KIND_CSV = 4,
  KIND_TEXT = 5,
  KIND_EPUB = 6,
  KIND_HTML = 7,
  KIND_IMAGE = 8,
};

// Name shown in the file list ("PowerPoint", "Text", ...); empty for an unknown code.
std::wstring GetKindName(int kind);

// Extension with its dot (".pptx"); empty for the folder kinds and unknown codes.
std::wstring GetKindExtension(int kind);

// True for the kinds whose output is a folder (CSV, Html, Image).
bool IsFolderKind(int kind);
