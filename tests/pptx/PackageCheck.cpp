#include "PackageCheck.h"

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <system_error>

#include <pugixml.hpp>

namespace fs = std::filesystem;

namespace pptx_test {

namespace {

std::string Quote(const fs::path& path) { return "'" + path.string() + "'"; }

// The extension as packages define it: what follows the last dot of the name, so the
// extension of "/_rels/.rels" is "rels" (std::filesystem sees none there).
std::string Extension(const fs::path& path) {
  const std::string name = path.filename().string();
  const size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

bool IsXmlPart(const fs::path& path) { return Extension(path) == "xml" || Extension(path) == "rels"; }

// Part names (with a leading slash) and extensions that [Content_Types].xml covers.
struct ContentTypes {
  std::set<std::string> m_setOverrides;
  std::set<std::string> m_setDefaults;
};

ContentTypes ReadContentTypes(const fs::path& folder) {
  ContentTypes types;
  pugi::xml_document doc;
  if (!doc.load_file((folder / "[Content_Types].xml").c_str())) return types;
  for (pugi::xml_node node : doc.child("Types").children()) {
    if (std::string(node.name()) == "Override") types.m_setOverrides.insert(node.attribute("PartName").value());
    if (std::string(node.name()) == "Default") types.m_setDefaults.insert(node.attribute("Extension").value());
  }
  return types;
}

// The part a relationship part describes: a/_rels/b.rels describes a/b; _rels/.rels the package.
fs::path SourceFolder(const fs::path& relsFile) { return relsFile.parent_path().parent_path(); }

void CheckRelationships(const fs::path& folder, const fs::path& relsFile, std::vector<std::string>& problems) {
  pugi::xml_document doc;
  if (!doc.load_file(relsFile.c_str())) return;
  for (pugi::xml_node rel : doc.child("Relationships").children("Relationship")) {
    if (std::string(rel.attribute("TargetMode").value()) == "External") continue;
    const fs::path target = (SourceFolder(relsFile) / rel.attribute("Target").value()).lexically_normal();
    std::error_code ec;
    if (!fs::is_regular_file(target, ec))
      problems.push_back(fs::relative(relsFile, folder).string() + ": missing target " + rel.attribute("Target").value());
  }
}

}  // namespace

bool RunCommand(const std::string& command) { return std::system(command.c_str()) == 0; }

bool ExtractPackage(const fs::path& archive, const fs::path& folder) {
  return RunCommand("unzip -tq " + Quote(archive) + " >/dev/null") &&
         RunCommand("unzip -q -o " + Quote(archive) + " -d " + Quote(folder));
}

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::vector<std::string> CheckPackage(const fs::path& folder) {
  std::vector<std::string> problems;
  const ContentTypes types = ReadContentTypes(folder);
  if (types.m_setDefaults.empty()) problems.push_back("[Content_Types].xml is missing or empty");
  std::error_code ec;
  for (fs::recursive_directory_iterator it(folder, ec), end; it != end; it.increment(ec)) {
    std::error_code fileError;
    if (!it->is_regular_file(fileError)) continue;
    const fs::path& path = it->path();
    const std::string name = "/" + fs::relative(path, folder).generic_string();
    if (IsXmlPart(path)) {
      pugi::xml_document doc;
      const pugi::xml_parse_result parsed = doc.load_file(path.c_str());
      if (!parsed) problems.push_back(name + ": " + parsed.description());
      if (Extension(path) == "rels") CheckRelationships(folder, path, problems);
    }
    if (name == "/[Content_Types].xml") continue;
    if (!types.m_setOverrides.count(name) && !types.m_setDefaults.count(Extension(path)))
      problems.push_back(name + ": no content type");
  }
  for (const std::string& part : types.m_setOverrides)
    if (!fs::is_regular_file(folder / part.substr(1), ec)) problems.push_back(part + ": listed but missing");
  return problems;
}

bool InstallTemplates(const fs::path& programDir) {
  std::error_code ec;
  fs::create_directories(programDir / "Resource", ec);
  fs::copy(PAGEVANE_RESOURCE_DIR, programDir / "Resource", fs::copy_options::recursive, ec);
  return !ec;
}

}  // namespace pptx_test
