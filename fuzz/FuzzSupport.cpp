#include "FuzzSupport.h"

#include <stdlib.h>

#include <cstdio>
#include <fstream>
#include <system_error>

#include "platform/Strings.h"

namespace fuzzing {

namespace {

class CWorkFolder {
 public:
  CWorkFolder() {
    std::error_code ec;
    std::string pattern = (std::filesystem::temp_directory_path(ec) / "pagevane-fuzz-XXXXXX").string();
    m_path = ::mkdtemp(pattern.data()) ? std::filesystem::path(pattern) : std::filesystem::temp_directory_path(ec);
    m_bOwned = m_path.string() == pattern;
  }
  ~CWorkFolder() {
    std::error_code ec;
    if (m_bOwned) std::filesystem::remove_all(m_path, ec);
  }
  CWorkFolder(const CWorkFolder&) = delete;
  CWorkFolder& operator=(const CWorkFolder&) = delete;

  std::filesystem::path m_path;  // the folder
  bool m_bOwned = false;         // made by us, so removed by us
};

}  // namespace

const std::filesystem::path& WorkFolder() {
  static CWorkFolder folder;
  return folder.m_path;
}

std::wstring WriteInput(const uint8_t* data, size_t size, const std::string& name) {
  const std::filesystem::path path = WorkFolder() / name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (size) out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  out.close();
  if (!out) Fail("cannot write the input file");
  return platform::FromPath(path);
}

void Fail(const char* what) {
  std::fprintf(stderr, "fuzz target: %s\n", what);
  std::fflush(stderr);
  std::abort();
}

}  // namespace fuzzing
