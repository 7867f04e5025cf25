#include "platform/EmbeddedModule.h"

#include <dlfcn.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace platform::detail {

namespace {

bool writeAll(int fd, const unsigned char* data, std::size_t length) {
  while (length > 0) {
    const ssize_t written = ::write(fd, data, length);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data += written;
    length -= static_cast<std::size_t>(written);
  }
  return true;
}

}  // namespace

void* loadEmbeddedModule(const char* name, const unsigned char* begin, const unsigned char* end,
                         const char* entry) {
  // The module's file exists only in memory; the dynamic loader opens it through /proc, and
  // the mapping it makes outlives the descriptor.
  const int fd = ::memfd_create(name, MFD_CLOEXEC);
  if (fd < 0) return nullptr;
  void* handle = nullptr;
  if (writeAll(fd, begin, static_cast<std::size_t>(end - begin))) {
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  }
  ::close(fd);
  return handle ? ::dlsym(handle, entry) : nullptr;
}

}  // namespace platform::detail
