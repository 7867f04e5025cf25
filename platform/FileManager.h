#pragma once

#include <optional>
#include <string>

#include "platform/FileDescriptor.h"

namespace platform {

// File-system queries and changes on paths. Every operation reports failure as a result.
class FileManager {
 public:
  static FileManager& defaultManager();

  // Whether an item exists at path, following symbolic links (a dangling link does not exist).
  // When isDirectory is given it receives whether that item is a directory.
  bool fileExists(const std::string& path, bool* isDirectory = nullptr) const;
  // The POSIX permission bits (including set-id and sticky bits) of the item at path, following
  // symbolic links; none when the item cannot be examined.
  std::optional<unsigned> posixPermissions(const std::string& path) const;
  // Sets the POSIX permission bits of the item at path (following links).
  [[nodiscard]] bool setPosixPermissions(const std::string& path, unsigned permissions) const;
  // The same two for the file open as file, whatever its name is now.
  std::optional<unsigned> posixPermissions(const FileDescriptor& file) const;
  [[nodiscard]] bool setPosixPermissions(const FileDescriptor& file, unsigned permissions) const;
  // Opens the regular file at path for reading (close-on-exec), never through a symbolic link
  // in its last component. Refused (no descriptor) unless the file belongs to this process's
  // user and nobody else may write it: the caller relies on its bytes staying what it reads.
  FileDescriptor openOwnFileForReading(const std::string& path) const;
  // Removes the item at path; a directory with everything inside it. Symbolic links are removed,
  // never followed. Returns false when something could not be removed.
  [[nodiscard]] bool removeItem(const std::string& path) const;
  // The path with every symbolic link resolved; the path unchanged when it cannot be resolved.
  std::string resolveSymlinks(const std::string& path) const;
  // The bytes of the regular file at path when it holds at most maxBytes; none otherwise or
  // when it cannot be read. A FIFO or device put in place of a file is never read (it could
  // block or flood the reader).
  std::optional<std::string> contentsOfSmallFile(const std::string& path,
                                                 std::size_t maxBytes) const;
};

}  // namespace platform
