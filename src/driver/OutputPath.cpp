#include "driver/OutputPath.h"

#include <filesystem>
#include <system_error>

#include "driver/OutputKind.h"
#include "platform/Strings.h"

namespace {

// Past this many numbered candidates the folder is not worth searching further.
constexpr int kMaxNumber = 100000;

bool IsTaken(const std::wstring& candidate, bool folderKind, const std::set<std::wstring>& reserved) {
  if (reserved.count(candidate)) return true;
  auto path = platform::ToPath(candidate);
  if (!path) return false;
  std::error_code ec;
  if (folderKind) return std::filesystem::is_directory(*path, ec);
  // symlink_status: a dangling link still holds its name and blocks an exclusive create.
  return std::filesystem::exists(std::filesystem::symlink_status(*path, ec));
}

}  // namespace

std::wstring MakeUniqueOutputPath(const std::wstring& folder, const std::wstring& fileName, int kind,
                                  const std::set<std::wstring>& reserved) {
  std::wstring base = folder;
  if (base.empty() || base.back() != L'/') base += L'/';
  base += fileName.substr(0, fileName.size() >= 4 ? fileName.size() - 4 : 0);
  const std::wstring extension = GetKindExtension(kind);
  const bool folderKind = IsFolderKind(kind);

  std::wstring chosen = base + extension;
  for (int n = 1; IsTaken(chosen, folderKind, reserved); ++n) {
    if (n > kMaxNumber) return L"";
    chosen = base + L"(" + std::to_wstring(n) + L")" + extension;
  }
  if (folderKind) {
    auto path = platform::ToPath(chosen);
    std::error_code ec;
    if (!path || !std::filesystem::create_directory(*path, ec)) return L"";
  }
  return chosen;
}
