#pragma once
// File operations on the package work folder: writing one part, copying the template
// tree into the folder, deleting a folder tree.

#include <filesystem>
#include <string_view>

// Writes `text` as UTF-8 (no byte-order mark, no line-end translation) to `path`, replacing
// an existing file. Returns false, writing nothing, when the text is empty or holds a code
// point UTF-8 cannot carry, and false when the file cannot be opened or fully written
// (a partly written file is then removed).
bool WritePartFile(const std::filesystem::path& path, std::wstring_view text);

// Copies every file and folder below `source` into `target` (which must exist), overwriting
// files; a file named exactly "temp.rels" is stored as ".rels", because a file of that name
// cannot travel in the source tree. Returns false when the source cannot be listed or any
// entry cannot be copied; the target then holds a partial copy.
bool CopyTemplateTree(const std::filesystem::path& source, const std::filesystem::path& target);

// Deletes the folder and everything below it; symbolic links are removed, never followed.
// A missing folder is no error; other errors are ignored. Never fails.
void DeleteFolderTree(const std::filesystem::path& path);
