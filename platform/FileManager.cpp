#include "platform/FileManager.h"

#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "platform/FileDescriptor.h"

namespace platform {

FileManager& FileManager::defaultManager() {
  static FileManager sManager;
  return sManager;
}

bool FileManager::fileExists(const std::string& path, bool* isDirectory) const {
  struct stat st;
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return false;
  if (isDirectory) *isDirectory = S_ISDIR(st.st_mode);
  return true;
}

std::optional<unsigned> FileManager::posixPermissions(const std::string& path) const {
  struct stat st;
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return std::nullopt;
  return static_cast<unsigned>(st.st_mode & 07777);
}

bool FileManager::setPosixPermissions(const std::string& path, unsigned permissions) const {
  return !path.empty() && ::chmod(path.c_str(), static_cast<mode_t>(permissions & 07777)) == 0;
}

std::optional<unsigned> FileManager::posixPermissions(const FileDescriptor& file) const {
  struct stat st;
  if (!file || ::fstat(file.get(), &st) != 0) return std::nullopt;
  return static_cast<unsigned>(st.st_mode & 07777);
}

bool FileManager::setPosixPermissions(const FileDescriptor& file, unsigned permissions) const {
  return file && ::fchmod(file.get(), static_cast<mode_t>(permissions & 07777)) == 0;
}

FileDescriptor FileManager::openOwnFileForReading(const std::string& path) const {
  // Non-blocking, so that a FIFO planted at the path cannot hold the program in open().
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  struct stat st;
  if (!file || ::fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid() ||
      (st.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
    return FileDescriptor();
  }
  return file;
}

bool FileManager::removeItem(const std::string& path) const {
  struct stat st;
  if (path.empty() || ::lstat(path.c_str(), &st) != 0) return false;
  if (!S_ISDIR(st.st_mode)) return ::unlink(path.c_str()) == 0;
  // Depth first, without crossing symbolic links or mount points, so nothing outside the
  // directory can be reached through it.
  auto removeOne = [](const char* item, const struct stat*, int, struct FTW*) -> int {
    return ::remove(item) == 0 ? 0 : -1;
  };
  return ::nftw(path.c_str(), removeOne, 16, FTW_DEPTH | FTW_PHYS | FTW_MOUNT) == 0;
}

std::string FileManager::resolveSymlinks(const std::string& path) const {
  std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                       &std::free);
  return resolved ? std::string(resolved.get()) : path;
}

std::optional<std::string> FileManager::contentsOfSmallFile(const std::string& path,
                                                            std::size_t maxBytes) const {
  // Non-blocking, so that a FIFO planted at the path cannot hold the program in open().
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (!file) return std::nullopt;
  struct stat st;
  if (::fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode) ||
      static_cast<std::size_t>(st.st_size) > maxBytes) {
    return std::nullopt;
  }
  std::string bytes(static_cast<std::size_t>(st.st_size), '\0');
  const auto done = readFull(file.get(), bytes.data(), bytes.size());
  if (!done) return std::nullopt;
  bytes.resize(*done);
  return bytes;
}

}  // namespace platform
