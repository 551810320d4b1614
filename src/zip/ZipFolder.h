#pragma once
// ZipFolder: packs every file and sub-folder below a folder into a new ZIP archive.

#include <filesystem>
#include <string>

class CZipWriter;

// Packs the tree below `folderPath` into a new archive at `archivePath` (both full paths).
// Returns 0 on success. When an existing file at the archive path cannot be deleted, returns
// that system error code (positive) and leaves the old file as it was. Any other failure
// returns a negative ZipStatus and leaves no archive file behind.
int ZipFolder(const std::wstring& archivePath, const std::wstring& folderPath);

// Adds the tree below `folder` to `writer` in the order the file system lists it: each
// sub-folder's entry and contents come before its next sibling; the folder itself gets no
// entry. Regular files (also through symbolic links) are added; a folder that cannot be listed,
// a symbolic link to a folder and special files (FIFOs, devices, sockets) end the walk with
// kZipErrorList. Returns the first non-zero status, which ends the walk.
int AddFolderTree(CZipWriter& writer, const std::filesystem::path& folder);
