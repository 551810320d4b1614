#include "pptx/PackageFolder.h"

#include <cstdio>
#include <optional>
#include <string>
#include <system_error>

#include "platform/Strings.h"

namespace fs = std::filesystem;

bool WritePartFile(const fs::path& path, std::wstring_view text) {
  if (text.empty()) return false;
  const std::optional<std::string> bytes = platform::WideToUtf8(text);
  if (!bytes) return false;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  bool ok = std::fwrite(bytes->data(), 1, bytes->size(), file) == bytes->size();
  ok = std::fclose(file) == 0 && ok;
  if (!ok) {
    std::error_code ec;
    fs::remove(path, ec);
  }
  return ok;
}

bool CopyTemplateTree(const fs::path& source, const fs::path& target) {
  std::error_code listError;
  // Advanced with error codes: the range-for form would throw on a listing error.
  for (fs::directory_iterator it(source, listError), end; it != end; it.increment(listError)) {
    std::error_code ec;
    const fs::path name = it->path().filename();
    if (it->is_directory(ec)) {
      const fs::path folder = target / name;
      fs::create_directory(folder, ec);
      if (ec || !CopyTemplateTree(it->path(), folder)) return false;
    } else {
      const fs::path stored = name == "temp.rels" ? fs::path(".rels") : name;
      fs::copy_file(it->path(), target / stored, fs::copy_options::overwrite_existing, ec);
      if (ec) return false;
    }
  }
  return !listError;
}

void DeleteFolderTree(const fs::path& path) {
  std::error_code ec;
  fs::remove_all(path, ec);
}
