#pragma once
// Opens a produced .pptx the way a reader would: tests the archive with unzip, extracts
// it, parses every XML part with pugixml, and checks that every part has a content type
// and every internal relationship points at a part that exists.

#include <filesystem>
#include <string>
#include <vector>

namespace pptx_test {

// Runs `command` through the shell; true when it exits with status 0.
bool RunCommand(const std::string& command);

// unzip -t on the archive, then extracts it into `folder`. False when either fails.
bool ExtractPackage(const std::filesystem::path& archive, const std::filesystem::path& folder);

// The file's bytes; empty when it cannot be read.
std::string ReadBytes(const std::filesystem::path& path);

// Problems found in an extracted package: XML parts that do not parse, parts without a
// content type, relationship targets that do not exist. Empty when the package is sound.
std::vector<std::string> CheckPackage(const std::filesystem::path& folder);

// Copies the template tree of the source checkout into `programDir`/Resource, as the build
// does beside every executable.
bool InstallTemplates(const std::filesystem::path& programDir);

}  // namespace pptx_test
