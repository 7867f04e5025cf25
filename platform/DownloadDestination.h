#pragma once

// The file a URL download saves into. Internal to UrlDownload; kept apart from the transfer so
// that the rules for creating and writing it stand on their own.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileDescriptor.h"

namespace platform {

// A new file, written through a buffer. Destroying it writes what is still buffered and closes
// the file, so what arrived before a failure or a cancel still reaches it.
class DownloadDestination {
 public:
  // Creates path exclusively (mode 0600), never replacing a file and never through a symbolic
  // link. When path is taken and allowOverwrite is false, "<path>-1", "<path>-2", ... are tried
  // instead; when it is true, a file at path is removed first. None when no file can be made.
  [[nodiscard]] static std::optional<DownloadDestination> create(const std::string& path,
                                                                 bool allowOverwrite);
  ~DownloadDestination() { (void)close(); }
  DownloadDestination(DownloadDestination&&) = default;
  // Closes this destination (see close) and takes over other's file.
  DownloadDestination& operator=(DownloadDestination&& other) noexcept;

  // The path of the file created.
  const std::string& path() const { return path_; }
  // Saves length bytes after those saved before. False when the file cannot be written (for
  // bytes written late, possibly a call after the one that brought them).
  [[nodiscard]] bool write(const unsigned char* data, std::size_t length);
  // Empties the file, so that the next bytes saved are its first. False when that fails.
  [[nodiscard]] bool rewind();
  // Writes what is buffered and closes the file; false when either fails. Nothing can be
  // written afterwards.
  [[nodiscard]] bool close();

 private:
  DownloadDestination(FileDescriptor file, std::string path);
  [[nodiscard]] bool flush();
  [[nodiscard]] bool writeToFile(const unsigned char* data, std::size_t length);

  FileDescriptor file_;
  std::string path_;
  std::vector<unsigned char> pending_;  // bytes saved but not yet written to file_
};

}  // namespace platform
