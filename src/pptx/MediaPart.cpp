#include "pptx/MediaPart.h"

#include <cstdio>
#include <system_error>

namespace fs = std::filesystem;

namespace {

bool WriteBytes(const fs::path& path, const uint8_t* data, size_t size) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  bool ok = size == 0 || std::fwrite(data, 1, size, file) == size;
  ok = std::fclose(file) == 0 && ok;
  if (!ok) {
    std::error_code ec;
    fs::remove(path, ec);
  }
  return ok;
}

}  // namespace

std::wstring MediaBaseName(int pictureNumber) { return L"image" + std::to_wstring(pictureNumber); }

std::string MediaFileName(int pictureNumber) { return "image" + std::to_string(pictureNumber) + ".jpeg"; }

bool WriteMediaParts(const fs::path& mediaFolder, const std::vector<CMediaPart>& media) {
  for (const CMediaPart& part : media)
    if (!WriteBytes(mediaFolder / part.m_strName, part.m_pData, part.m_nSize)) return false;
  return true;
}
