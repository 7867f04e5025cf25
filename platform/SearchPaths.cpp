#include "platform/SearchPaths.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string_view>

#include "platform/FileDescriptor.h"
#include "platform/FileManager.h"
#include "platform/Path.h"
#include "platform/ToolkitEnvironment.h"

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

std::vector<std::string> machineDataFolders(const UntrustedLocationHandler& onUntrusted) {
  // As received: the environment's own value is the toolkit's (ToolkitEnvironment.h).
  std::string dirs = receivedDataDirs().value_or("");
  if (dirs.empty()) dirs = kSystemDataDirs;
  const std::string home = homeDirectory();
  const std::string userData = userDataFolder();
  std::vector<std::string> folders;
  for (std::string& entry : path::splitColonList(dirs)) {
    // The user's own folders are never searched for machine-wide software.
    if (entry.front() != '/' || isInside(entry, home) || isInside(entry, userData)) continue;
    // Software found in a folder that another user may change could be anybody's.
    if (!isUsableLocation(entry, onUntrusted)) continue;
    folders.push_back(std::move(entry));
  }
  return folders;
}

// The private folder: its path as made, and a descriptor on it for the clean-up.
struct PrivateFolder {
  std::string path;
  FileDescriptor descriptor;
};

std::optional<PrivateFolder>& temporaryFolder() {
  static std::optional<PrivateFolder> sFolder;
  return sFolder;
}

std::optional<PrivateFolder> makePrivateFolderIn(const std::string& base) {
  std::string pattern = path::appendComponent(base, "zanth-XXXXXX");
  if (::mkdtemp(pattern.data()) == nullptr) return std::nullopt;
  FileDescriptor descriptor(
      ::open(pattern.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (!descriptor) {
    ::rmdir(pattern.c_str());
    return std::nullopt;
  }
  return PrivateFolder{std::move(pattern), std::move(descriptor)};
}

std::string userCacheFolder() {
  std::string cacheHome = environment("XDG_CACHE_HOME");
  if (!cacheHome.empty() && cacheHome.front() == '/') return cacheHome;
  return path::appendComponent(homeDirectory(), ".cache");
}

// Removes everything inside the folder open as folder, depth first, without following links.
void removeContents(int folder) {
  FileDescriptor listing(::dup(folder));
  if (!listing) return;
  std::unique_ptr<DIR, int (*)(DIR*)> entries(::fdopendir(listing.get()), &::closedir);
  if (!entries) return;
  (void)listing.release();  // closed with entries
  ::rewinddir(entries.get());
  while (const struct dirent* entry = ::readdir(entries.get())) {
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    if (::unlinkat(folder, entry->d_name, 0) == 0 || errno != EISDIR) continue;
    FileDescriptor inner(
        ::openat(folder, entry->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!inner) continue;
    removeContents(inner.get());
    ::unlinkat(folder, entry->d_name, AT_REMOVEDIR);
  }
}

// Removes the empty folder open as folder under whatever name it has now (the kernel keeps
// the name of an open directory up to date), and only if that name still leads to it.
void removeFolderByCurrentName(int folder) {
  struct stat own;
  if (::fstat(folder, &own) != 0) return;
  char current[PATH_MAX];
  const std::string link = std::string(kDescriptorFolder) + "/" + std::to_string(folder);
  const ssize_t length = ::readlink(link.c_str(), current, sizeof current - 1);
  if (length <= 0) return;
  const std::string name(current, static_cast<std::size_t>(length));
  if (name.front() != '/') return;  // " (deleted)" or not a path: already gone
  FileDescriptor parent(
      ::open(path::deletingLastComponent(name).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  const std::string last = path::lastComponent(name);
  struct stat there;
  if (!parent || ::fstatat(parent.get(), last.c_str(), &there, AT_SYMLINK_NOFOLLOW) != 0 ||
      there.st_dev != own.st_dev || there.st_ino != own.st_ino) {
    return;
  }
  ::unlinkat(parent.get(), last.c_str(), AT_REMOVEDIR);
}

}  // namespace

std::vector<std::string> searchPaths(SearchPathDirectory, unsigned domainMask,
                                     const UntrustedLocationHandler& onUntrusted) {
  // The same folders serve both kinds of directory on this host.
  std::vector<std::string> folders;
  if (domainMask & kUserDomainMask) folders.push_back(userDataFolder());
  if (domainMask & (kLocalDomainMask | kNetworkDomainMask | kSystemDomainMask)) {
    for (std::string& folder : machineDataFolders(onUntrusted)) {
      folders.push_back(std::move(folder));
    }
  }
  return folders;
}

std::string homeDirectory() {
  std::string home = environment("HOME");
  if (!home.empty()) return home;
  const struct passwd* entry = ::getpwuid(::getuid());
  return entry && entry->pw_dir ? entry->pw_dir : "/";
}

std::string whyDescriptorsCannotBeNamed(const std::string& descriptorFolder) {
  struct stat st;
  if (::stat(descriptorFolder.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return "";
  return descriptorFolder + " is missing (no /proc)";
}

std::string whyProgramsCannotStartIn(const std::string& folder) {
  struct statvfs fileSystem;
  // A folder that cannot be examined is left to the attempt to make a folder in it.
  if (::statvfs(folder.c_str(), &fileSystem) == 0 && (fileSystem.f_flag & ST_NOEXEC) != 0) {
    return folder + " is on a file system mounted noexec";
  }
  return "";
}

std::optional<std::string> temporaryDirectory(std::string* problem) {
  auto& folder = temporaryFolder();
  if (folder) return folder->path;
  const auto fail = [&](std::string why) -> std::optional<std::string> {
    if (problem) *problem = std::move(why);
    return std::nullopt;
  };
  // Downloaded programs are started through their descriptors and the folder is removed
  // through its own: without the descriptor folder neither works, so no folder is made.
  if (std::string why = whyDescriptorsCannotBeNamed(kDescriptorFolder); !why.empty()) {
    return fail("downloaded programs cannot be started: " + why);
  }
  std::string base = environment("TMPDIR");
  if (base.empty() || base.front() != '/') base = "/tmp";
  const TrustCheck shared = checkTrustedLocation(base);
  if (shared.trust == Trust::kUntrusted) {
    // Not a reason to go elsewhere: a machine set up like this is refused, not worked around.
    return fail("unsafe temporary folder: " + shared.reason);
  }
  // A folder programs cannot start from is no place for an installer (a hardened /tmp).
  const std::string baseNoexec = whyProgramsCannotStartIn(base);
  if (shared.trust == Trust::kTrusted && baseNoexec.empty()) folder = makePrivateFolderIn(base);
  if (folder) return folder->path;

  // Never the home folder itself: a file named by a server could land on the user's own
  // settings there (".bash_profile").
  const std::string cache = userCacheFolder();
  ::mkdir(cache.c_str(), 0700);  // the cache folder may not exist yet; failures show below
  const TrustCheck cacheCheck = checkTrustedLocation(cache);
  if (cacheCheck.trust == Trust::kUntrusted) {
    return fail("unsafe cache folder: " + cacheCheck.reason);
  }
  const std::string cacheNoexec = whyProgramsCannotStartIn(cache);
  if (cacheCheck.trust == Trust::kTrusted && cacheNoexec.empty()) {
    folder = makePrivateFolderIn(cache);
  }
  if (folder) return folder->path;
  if (baseNoexec.empty() && cacheNoexec.empty()) {
    return fail("no private folder can be made in " + base + " or " + cache);
  }
  const auto why = [](const std::string& noexec, const std::string& place) {
    return noexec.empty() ? "no private folder can be made in " + place : noexec;
  };
  return fail("downloaded programs cannot be started: " + why(baseNoexec, base) + ", and " +
              why(cacheNoexec, cache));
}

void removeTemporaryDirectory() {
  auto& folder = temporaryFolder();
  if (!folder) return;
  // Through the descriptor, never through the path: whatever now stands at the path may be
  // someone else's. What cannot go is left behind.
  removeContents(folder->descriptor.get());
  removeFolderByCurrentName(folder->descriptor.get());
  folder.reset();
}

}  // namespace platform
