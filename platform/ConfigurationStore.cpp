// ConfigurationStore on GLib's key files.
#include "platform/ConfigurationStore.h"

#include <fcntl.h>
#include <glib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string_view>

#include "platform/Path.h"

namespace platform {
namespace {

// A configuration file of this kind is a few lines; anything bigger is not one of ours.
constexpr std::size_t kMaxFileBytes = 1024 * 1024;

struct KeyFileDeleter {
  void operator()(GKeyFile* file) const { g_key_file_free(file); }
};
struct ErrorDeleter {
  void operator()(GError* error) const { g_error_free(error); }
};

// The bytes of the regular file at path; none when it cannot be read. A FIFO or device put in
// place of the file must not block or flood the reader.
std::optional<std::string> readSmallFile(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::string bytes;
  struct stat st;
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
            static_cast<std::size_t>(st.st_size) <= kMaxFileBytes;
  if (ok) {
    bytes.resize(static_cast<std::size_t>(st.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
      ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) ok = false;
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    bytes.resize(done);
  }
  ::close(fd);
  if (!ok) return std::nullopt;
  return bytes;
}

}  // namespace

ConfigurationStore::ConfigurationStore(std::string relativePath, std::string group)
    : relativePath_(std::move(relativePath)), group_(std::move(group)) {}

std::vector<std::string> ConfigurationStore::configurationFolders() {
  const char* value = std::getenv("XDG_CONFIG_DIRS");
  std::string_view rest = value && *value ? value : "/etc/xdg";
  std::vector<std::string> folders;
  while (!rest.empty()) {
    auto colon = rest.find(':');
    std::string_view entry = rest.substr(0, colon);
    rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
    // Relative entries are invalid in the base-directory settings and are ignored.
    if (!entry.empty() && entry.front() == '/') folders.emplace_back(entry);
  }
  return folders;
}

int ConfigurationStore::integerValue(const std::string& key) const {
  for (const std::string& folder : configurationFolders()) {
    auto bytes = readSmallFile(path::appendComponent(folder, relativePath_));
    if (!bytes) continue;
    std::unique_ptr<GKeyFile, KeyFileDeleter> file(g_key_file_new());
    GError* rawError = nullptr;
    if (!g_key_file_load_from_data(file.get(), bytes->data(), bytes->size(), G_KEY_FILE_NONE,
                                   &rawError)) {
      std::unique_ptr<GError, ErrorDeleter> error(rawError);
      continue;
    }
    if (!g_key_file_has_key(file.get(), group_.c_str(), key.c_str(), nullptr)) continue;
    // This file holds the key, so it decides, even when its value is not a number.
    const gint value = g_key_file_get_integer(file.get(), group_.c_str(), key.c_str(), &rawError);
    std::unique_ptr<GError, ErrorDeleter> error(rawError);
    return error ? 0 : value;
  }
  return 0;
}

}  // namespace platform
