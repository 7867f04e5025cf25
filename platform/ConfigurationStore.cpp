// ConfigurationStore on GLib's key files.
#include "platform/ConfigurationStore.h"

#include <glib.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string_view>

#include "platform/FileManager.h"
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
    auto bytes = FileManager::defaultManager().contentsOfSmallFile(
        path::appendComponent(folder, relativePath_), kMaxFileBytes);
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
