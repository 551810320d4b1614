#pragma once
// Output names of a batch: the PDF's name with the kind's extension in the output folder,
// with "(1)", "(2)", ... appended while the name is taken.

#include <set>
#include <string>

// The unique output path for `fileName` (a file name without folder) of output kind `kind`
// in `folder`. The base is `folder`, a '/' unless the folder text ends in one, and the file
// name without its last four characters (the ".pdf"); the candidate is base + extension,
// then base + "(n)" + extension for n = 1, 2, ... while it is taken. For the file kinds
// anything of that name (file or folder) takes it; for the folder kinds only a folder does,
// and the chosen folder is created. A path in `reserved` counts as taken too (names handed
// out to jobs that have not written them yet).
// Returns an empty string when no name is free or the chosen folder cannot be created.
std::wstring MakeUniqueOutputPath(const std::wstring& folder, const std::wstring& fileName, int kind,
                                  const std::set<std::wstring>& reserved = {});
