// The settings store on any config.xml. Input: a key line, a value line (both UTF-8), then
// the file's bytes. The store must open enabled, keep a file that loads or replace it by the
// default, never change the file on a read, and on a write store the value where the next
// read finds it while every other setting keeps its value; a key that cannot be an element
// name must read empty and leave the file untouched.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <pugixml.hpp>

#include "FuzzSupport.h"
#include "platform/Strings.h"
#include "settings/ConfigFile.h"
#include "settings/Xml.h"

namespace {

constexpr std::string_view kDefaultFile = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n  <xmlroot></xmlroot>";

std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// What a read gives back after a write: the value without the characters XML cannot carry.
std::wstring ExpectedReadBack(const std::wstring& value) {
  std::wstring out;
  for (wchar_t w : value) {
    const auto c = static_cast<char32_t>(w);
    if (c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
        (c >= 0x10000 && c <= 0x10FFFF))
      out.push_back(w);
  }
  return out;
}

std::string_view NextLine(std::string_view& input) {
  const size_t newline = input.find('\n');
  const std::string_view line = input.substr(0, newline);
  input.remove_prefix(newline == std::string_view::npos ? input.size() : newline + 1);
  return line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::wstring key = platform::Utf8ToWide(NextLine(input));
  const std::wstring value = platform::Utf8ToWide(NextLine(input));
  const std::string fileBytes(input);
  const std::wstring path =
      fuzzing::WriteInput(reinterpret_cast<const uint8_t*>(fileBytes.data()), fileBytes.size(), "config.xml");
  const std::filesystem::path file = fuzzing::WorkFolder() / "config.xml";

  CConfigFile config(path);
  if (!config.IsEnabled()) fuzzing::Fail("store disabled in a writable folder");
  const std::string opened = ReadBytes(file);
  if (opened != fileBytes && opened != kDefaultFile) fuzzing::Fail("file neither kept nor replaced by the default");

  // The settings the file holds before the write, by local name, first of each name.
  std::vector<std::pair<std::wstring, std::wstring>> others;
  pugi::xml_document doc;
  if (doc.load_buffer(opened.data(), opened.size())) {
    for (pugi::xml_node child : doc.document_element().children()) {
      if (others.size() >= 16) break;
      std::string_view name = child.name();
      if (const size_t colon = name.find(':'); colon != std::string_view::npos) name.remove_prefix(colon + 1);
      const std::wstring other = platform::Utf8ToWide(name);
      if (other == key || !DornXml::IsElementName(other)) continue;
      bool seen = false;
      for (const auto& known : others) seen = seen || known.first == other;
      if (!seen) others.emplace_back(other, config.GetValue(other));
    }
  }

  const std::wstring before = config.GetValue(key);
  if (!DornXml::IsElementName(key) && !before.empty()) fuzzing::Fail("a key that cannot be an element name read a value");
  if (config.GetValue(key) != before) fuzzing::Fail("two reads of one key differ");
  if (ReadBytes(file) != opened) fuzzing::Fail("a read changed the file");

  config.SetValue(key, value);
  if (!DornXml::IsElementName(key)) {
    if (ReadBytes(file) != opened) fuzzing::Fail("a key that cannot be an element name changed the file");
    return 0;
  }
  if (config.GetValue(key) != ExpectedReadBack(value)) fuzzing::Fail("the written value does not read back");
  for (const auto& [other, otherValue] : others)
    if (config.GetValue(other) != otherValue) fuzzing::Fail("a write changed another setting");
  return 0;
}
