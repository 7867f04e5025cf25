#pragma once

#include <unistd.h>

#include <cstddef>
#include <optional>
#include <utility>

namespace platform {

// An open file descriptor with exactly one owner: closed once, by close() or by the destructor,
// whichever comes first. Moving hands the descriptor over.
class FileDescriptor {
 public:
  FileDescriptor() = default;
  // Takes ownership of fd (a negative fd means none).
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() { (void)close(); }
  FileDescriptor(FileDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  FileDescriptor& operator=(FileDescriptor&& other) noexcept {
    if (this != &other) {
      (void)close();
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;

  // The descriptor, still owned by this object; -1 when there is none.
  int get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }
  // Gives up ownership without closing: the caller (or whatever it hands the descriptor to)
  // closes it.
  [[nodiscard]] int release() { return std::exchange(fd_, -1); }
  // Closes the descriptor now. False when close reports an error, which for a file written to
  // can be the first sign that earlier writes did not reach the disk. True when there is none.
  [[nodiscard]] bool close() {
    if (fd_ < 0) return true;
    // Not retried on EINTR: on Linux the descriptor is released whatever close returns.
    return ::close(std::exchange(fd_, -1)) == 0;
  }

 private:
  int fd_ = -1;
};

// Writes all length bytes of data to fd, going on after short writes and interrupted calls.
// False on an error (errno tells which); some bytes may have been written.
[[nodiscard]] bool writeAll(int fd, const void* data, std::size_t length);
// Reads from fd until buffer holds length bytes or the file ends, going on after short reads and
// interrupted calls. The number of bytes read, or none on an error.
[[nodiscard]] std::optional<std::size_t> readFull(int fd, void* buffer, std::size_t length);

}  // namespace platform
