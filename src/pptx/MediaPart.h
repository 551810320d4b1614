#pragma once
// Media files of the package: the JPEG bytes of each picture, stored as
// ppt/media/imageK.jpeg, where K numbers the pictures over the whole package.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// One media file a slide refers to. The bytes are borrowed from the page model, which
// outlives the writing of its slide.
struct CMediaPart {
  std::string m_strName;             // file name inside ppt/media, "imageK.jpeg"
  const uint8_t* m_pData = nullptr;  // the picture's JPEG bytes
  size_t m_nSize = 0;                // bytes at m_pData
};

// The base name "image" + K that relationships name, and the file name "imageK.jpeg".
std::wstring MediaBaseName(int pictureNumber);
std::string MediaFileName(int pictureNumber);

// Writes each part's bytes unchanged into `mediaFolder`, replacing files of the same name.
// False when a file cannot be opened or fully written; a partly written file is removed.
bool WriteMediaParts(const std::filesystem::path& mediaFolder, const std::vector<CMediaPart>& media);
