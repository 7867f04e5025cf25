#include "platform/DownloadDestination.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace platform {

namespace {

// curl hands the body over 16 KiB at a time; writing each piece at once would cost a system call
// per 16 KiB. Pieces are gathered up to this size and written together.
constexpr std::size_t kWriteBufferSize = std::size_t{512} * 1024;
constexpr int kMaxUniqueNameAttempts = 10000;

}  // namespace

std::optional<DownloadDestination> DownloadDestination::create(const std::string& path,
                                                               bool allowOverwrite) {
  if (allowOverwrite) ::unlink(path.c_str());
  std::string candidate = path;
  for (int attempt = 1; attempt <= kMaxUniqueNameAttempts; ++attempt) {
    FileDescriptor file(
        ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (file) return DownloadDestination(std::move(file), std::move(candidate));
    if (errno != EEXIST) break;
    candidate = path + "-" + std::to_string(attempt);
  }
  return std::nullopt;
}

DownloadDestination::DownloadDestination(FileDescriptor file, std::string path)
    : file_(std::move(file)), path_(std::move(path)) {}

DownloadDestination& DownloadDestination::operator=(DownloadDestination&& other) noexcept {
  if (this != &other) {
    (void)close();
    file_ = std::move(other.file_);
    path_ = std::move(other.path_);
    pending_ = std::move(other.pending_);
  }
  return *this;
}

bool DownloadDestination::write(const unsigned char* data, std::size_t length) {
  if (pending_.size() + length > kWriteBufferSize && !flush()) return false;
  if (length >= kWriteBufferSize) return writeToFile(data, length);
  if (pending_.capacity() == 0) pending_.reserve(kWriteBufferSize);
  pending_.insert(pending_.end(), data, data + length);
  return true;
}

bool DownloadDestination::rewind() {
  pending_.clear();
  return file_ && ::ftruncate(file_.get(), 0) == 0 && ::lseek(file_.get(), 0, SEEK_SET) == 0;
}

bool DownloadDestination::close() {
  if (!file_) return true;
  const bool flushed = flush();
  return file_.close() && flushed;
}

bool DownloadDestination::flush() {
  const bool written = writeToFile(pending_.data(), pending_.size());
  pending_.clear();
  return written;
}

bool DownloadDestination::writeToFile(const unsigned char* data, std::size_t length) {
  return writeAll(file_.get(), data, length);
}

}  // namespace platform
