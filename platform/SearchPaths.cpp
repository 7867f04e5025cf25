#include "platform/SearchPaths.h"

#include <pwd.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "platform/FileManager.h"
#include "platform/Path.h"

namespace platform {
namespace {

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

bool isInsideLexically(const std::string& path, const std::string& folder) {
  if (folder.empty() || folder == "/") return false;
  std::string_view base(folder);
  while (base.size() > 1 && base.back() == '/') base.remove_suffix(1);
  return path == base || (path.size() > base.size() && path.compare(0, base.size(), base) == 0 &&
                          path[base.size()] == '/');
}

// "/a//b/./c/../d/" becomes "/a/b/d": spelling must not hide a folder's place.
std::string normalized(const std::string& path) {
  std::string result = std::filesystem::path(path).lexically_normal().string();
  while (result.size() > 1 && result.back() == '/') result.pop_back();
  return result;
}

// Whether path is folder or lies inside it, as spelled and with symbolic links resolved (a
// link from a machine folder into the user's home leads to the user's own files).
bool isInside(const std::string& path, const std::string& folder) {
  const FileManager& files = FileManager::defaultManager();
  const std::string normalFolder = normalized(folder);
  const std::string resolvedFolder = normalized(files.resolveSymlinks(normalFolder));
  for (const std::string& candidate : {normalized(path), normalized(files.resolveSymlinks(path))}) {
    if (isInsideLexically(candidate, normalFolder) ||
        isInsideLexically(candidate, resolvedFolder)) {
      return true;
    }
  }
  return false;
}

std::string userDataFolder() {
  std::string dataHome = environment("XDG_DATA_HOME");
  if (!dataHome.empty() && dataHome.front() == '/') return dataHome;
  return path::appendComponent(homeDirectory(), ".local/share");
}

std::vector<std::string> machineDataFolders() {
  std::string dirs = environment("XDG_DATA_DIRS");
  if (dirs.empty()) dirs = "/usr/local/share:/usr/share";
  const std::string home = homeDirectory();
  const std::string userData = userDataFolder();
  std::vector<std::string> folders;
  for (std::string& entry : path::splitColonList(dirs)) {
    // The user's own folders are never searched for machine-wide software.
    if (entry.front() != '/' || isInside(entry, home) || isInside(entry, userData)) continue;
    folders.push_back(std::move(entry));
  }
  return folders;
}

std::optional<std::string>& temporaryFolder() {
  static std::optional<std::string> sFolder;
  return sFolder;
}

}  // namespace

std::vector<std::string> searchPaths(SearchPathDirectory, unsigned domainMask) {
  // The same folders serve both kinds of directory on this host.
  std::vector<std::string> folders;
  if (domainMask & kUserDomainMask) folders.push_back(userDataFolder());
  if (domainMask & (kLocalDomainMask | kNetworkDomainMask | kSystemDomainMask)) {
    for (std::string& folder : machineDataFolders()) folders.push_back(std::move(folder));
  }
  return folders;
}

std::string homeDirectory() {
  std::string home = environment("HOME");
  if (!home.empty()) return home;
  const struct passwd* entry = ::getpwuid(::getuid());
  return entry && entry->pw_dir ? entry->pw_dir : "/";
}

std::optional<std::string> temporaryDirectory() {
  auto& folder = temporaryFolder();
  if (folder) return folder;
  std::string base = environment("TMPDIR");
  if (base.empty() || base.front() != '/') base = "/tmp";
  std::string pattern = path::appendComponent(base, "zanth-XXXXXX");
  if (::mkdtemp(pattern.data()) == nullptr) return std::nullopt;
  folder = std::move(pattern);
  return folder;
}

void removeTemporaryDirectory() {
  auto& folder = temporaryFolder();
  if (!folder) return;
  (void)FileManager::defaultManager().removeItem(*folder);  // what cannot go is left behind
  folder.reset();
}

}  // namespace platform
