// ConfigurationStore on GLib's key files.
#include "platform/ConfigurationStore.h"

#include <glib.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string_view>

#include "platform/FileManager.h"
#include "platform/GLibPtr.h"
#include "platform/Path.h"

namespace platform {
namespace {

// A configuration file of this kind is a few lines; anything bigger is not one of ours.
constexpr std::size_t kMaxFileBytes = std::size_t{1024} * 1024;

}  // namespace

ConfigurationStore::ConfigurationStore(std::string relativePath, std::string group,
                                       UntrustedLocationHandler onUntrusted)
    : relativePath_(std::move(relativePath)),
      group_(std::move(group)),
      onUntrusted_(std::move(onUntrusted)) {}

std::vector<std::string> ConfigurationStore::configurationFolders() {
  const char* value = std::getenv("XDG_CONFIG_DIRS");
  std::vector<std::string> folders;
  for (std::string& entry : path::splitColonList(value && *value ? value : "/etc/xdg")) {
    // Relative entries are invalid in the base-directory settings and are ignored.
    if (entry.front() == '/') folders.push_back(std::move(entry));
  }
  return folders;
}

namespace {

// The first configuration file, in folder order, whose group holds key; none when no file does.
// Files in places others could change are passed over and reported to onUntrusted.
GKeyFilePtr firstFileHolding(const std::string& relativePath, const std::string& group,
                             const std::string& key, const UntrustedLocationHandler& onUntrusted) {
  for (const std::string& folder : ConfigurationStore::configurationFolders()) {
    const std::string filePath = path::appendComponent(folder, relativePath);
    if (!isUsableLocation(filePath, onUntrusted)) continue;
    auto bytes = FileManager::defaultManager().contentsOfSmallFile(filePath, kMaxFileBytes);
    if (!bytes) continue;
    GKeyFilePtr file(g_key_file_new());
    GError* rawError = nullptr;
    if (!g_key_file_load_from_data(file.get(), bytes->data(), bytes->size(), G_KEY_FILE_NONE,
                                   &rawError)) {
      GErrorPtr error(rawError);
      continue;
    }
    if (g_key_file_has_key(file.get(), group.c_str(), key.c_str(), nullptr)) return file;
  }
  return nullptr;
}

}  // namespace

int ConfigurationStore::integerValue(const std::string& key) const {
  GKeyFilePtr file = firstFileHolding(relativePath_, group_, key, onUntrusted_);
  if (!file) return 0;
  // This file holds the key, so it decides, even when its value is not a number.
  GError* rawError = nullptr;
  const gint value = g_key_file_get_integer(file.get(), group_.c_str(), key.c_str(), &rawError);
  GErrorPtr error(rawError);
  return error ? 0 : value;
}

std::optional<std::string> ConfigurationStore::stringValue(const std::string& key) const {
  GKeyFilePtr file = firstFileHolding(relativePath_, group_, key, onUntrusted_);
  if (!file) return std::nullopt;
  GError* rawError = nullptr;
  GCharPtr value(g_key_file_get_string(file.get(), group_.c_str(), key.c_str(), &rawError));
  GErrorPtr error(rawError);
  return value ? std::string(value.get()) : std::string();
}

}  // namespace platform
