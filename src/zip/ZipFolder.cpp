#include "zip/ZipFolder.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <optional>
#include <string_view>

#include "platform/Strings.h"
#include "zip/ZipWriter.h"

namespace {

struct CDirCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, CDirCloser>;

// One listed child: walked when it is a real folder, added when it is a file or a link to
// one (AddFile refuses a link to anything but a regular file). Symbolic links to folders are
// not followed, since a link to an ancestor would make the walk endless.
int AddChild(CZipWriter& writer, const std::filesystem::path& root, const std::filesystem::path& relPath,
             const std::wstring& relName);

int WalkFolder(CZipWriter& writer, const std::filesystem::path& root, const std::filesystem::path& relPath,
               const std::wstring& relName) {
  if (!relName.empty())
    if (int status = writer.AddFolder(relName)) return status;
  DirHandle dir(::opendir((root / relPath).c_str()));
  if (!dir) return kZipErrorList;
  for (;;) {
    errno = 0;
    const dirent* item = ::readdir(dir.get());
    if (!item) return errno == 0 ? kZipOk : kZipErrorList;
    const std::string_view name = item->d_name;
    if (name == "." || name == "..") continue;
    // Entry names join with '\' like the paths they were designed for; the writer turns it into '/'.
    const std::wstring wideName = platform::FromPath(std::filesystem::path(name));
    const std::wstring childName = relName.empty() ? wideName : relName + L'\\' + wideName;
    if (int status = AddChild(writer, root, relPath / name, childName)) return status;
  }
}

int AddChild(CZipWriter& writer, const std::filesystem::path& root, const std::filesystem::path& relPath,
             const std::wstring& relName) {
  struct stat st {};
  const std::filesystem::path full = root / relPath;
  if (::lstat(full.c_str(), &st) != 0) return kZipErrorList;
  if (S_ISDIR(st.st_mode)) return WalkFolder(writer, root, relPath, relName);
  if (S_ISREG(st.st_mode)) return writer.AddFileFromPath(relName, full);
  if (S_ISLNK(st.st_mode)) {
    struct stat target {};
    if (::stat(full.c_str(), &target) == 0 && S_ISDIR(target.st_mode)) return kZipErrorList;
    return writer.AddFileFromPath(relName, full);
  }
  return kZipErrorList;
}

}  // namespace

int AddFolderTree(CZipWriter& writer, const std::filesystem::path& folder) {
  return WalkFolder(writer, folder, std::filesystem::path(), std::wstring());
}

int ZipFolder(const std::wstring& archivePath, const std::wstring& folderPath) {
  std::optional<std::filesystem::path> archive = platform::ToPath(archivePath);
  if (!archive) return kZipErrorCreate;
  if (::unlink(archive->c_str()) != 0 && errno != ENOENT) return errno;
  CZipWriter writer;
  if (int status = writer.Create(archivePath)) return status;
  std::optional<std::filesystem::path> folder = platform::ToPath(folderPath);
  const int status = folder ? AddFolderTree(writer, *folder) : kZipErrorList;
  // An archive that lacks part of the tree is no package: it is removed, not closed.
  if (status != kZipOk) {
    writer.Discard();
    return status;
  }
  return writer.Close();
}
