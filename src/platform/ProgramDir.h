#pragma once
// The program folder: the directory of the running executable. Writers find the
// template tree below it and make their work folders there.

#include <string>

namespace platform {

// The folder that holds the running executable, without a trailing separator.
// Falls back to the current folder when /proc/self/exe cannot be read; never fails.
std::wstring GetProgramDir();

}  // namespace platform
