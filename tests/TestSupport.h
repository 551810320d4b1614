#pragma once
// Helpers shared by the test suites: a private temporary folder and fixture paths.

#include <stdlib.h>

#include <filesystem>
#include <string>

#include "FixtureBuilder.h"
#include "platform/Strings.h"

namespace testing_support {

// A fresh folder under the system temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir() {
    auto base = std::filesystem::temp_directory_path() / "pagevane-test-XXXXXX";
    std::string pattern = base.string();
    m_path = ::mkdtemp(pattern.data()) ? std::filesystem::path(pattern) : base;
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return m_path; }
  std::filesystem::path operator/(const std::string& name) const { return m_path / name; }
  // The path of `name` inside the folder as the wide string the core takes.
  std::wstring Wide(const std::string& name) const { return platform::FromPath(m_path / name); }

 private:
  std::filesystem::path m_path;
};

}  // namespace testing_support
