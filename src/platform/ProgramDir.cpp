#include "platform/ProgramDir.h"

#include <filesystem>
#include <system_error>

#include "platform/Strings.h"

namespace platform {

std::wstring GetProgramDir() {
  std::error_code ec;
  auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  auto dir = ec ? std::filesystem::current_path(ec) : exe.parent_path();
  return FromPath(dir);
}

}  // namespace platform
