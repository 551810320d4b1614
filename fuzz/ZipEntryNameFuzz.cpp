// The ZIP writer's entry names on any path. Input: the first byte's bit 0 asks for a folder;
// bit 1 takes the rest as hexadecimal code units separated by spaces, which reach what UTF-8
// cannot carry (surrogates, values past U+10FFFF), and otherwise as UTF-8 text. An accepted name must be the path with '/' separators that
// cannot point outside the folder the archive is unpacked into.

#include <cstdint>
#include <charconv>
#include <optional>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "platform/Strings.h"
#include "zip/ZipWriter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const bool folder = data[0] & 1;
  std::wstring name;
  if (data[0] & 2) {
    const char* p = reinterpret_cast<const char*>(data) + 1;
    const char* end = reinterpret_cast<const char*>(data) + size;
    while (p < end) {
      uint32_t unit = 0;
      const auto [next, ec] = std::from_chars(p, end, unit, 16);
      if (ec == std::errc()) name.push_back(static_cast<wchar_t>(unit));
      p = next == p ? p + 1 : next;
    }
  } else {
    name = platform::Utf8ToWide(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
  }
  const std::optional<std::string> entry = MakeZipEntryName(name, folder);
  if (!entry) return 0;
  const std::string& out = *entry;
  if (out.empty() || out.size() > 0xFFFF) fuzzing::Fail("entry name length outside the field");
  if (out.find('\0') != std::string::npos || out.find('\\') != std::string::npos)
    fuzzing::Fail("entry name holds NUL or a backslash");
  if (folder != (out.back() == '/')) fuzzing::Fail("trailing separator does not match the entry type");
  // Every component is a real name.
  const std::string_view body(out.data(), out.size() - (folder ? 1 : 0));
  size_t start = 0;
  for (;;) {
    const size_t end = body.find('/', start);
    const std::string_view part = body.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (part.empty() || part == "." || part == "..") fuzzing::Fail("entry name steps outside its folder");
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  // The name is the path itself, separators aside.
  std::wstring expected = name;
  for (wchar_t& c : expected)
    if (c == L'\\') c = L'/';
  if (folder && expected.back() != L'/') expected.push_back(L'/');
  if (platform::Utf8ToWide(out) != expected) fuzzing::Fail("entry name is not the path it was made from");
  return 0;
}
