#include "platform/ToolkitEnvironment.h"

#include <cstdlib>
#include <string_view>

#include "platform/Path.h"

extern char** environ;

namespace platform {
namespace {

constexpr std::string_view kDataDirsName = "XDG_DATA_DIRS";

struct Kept {
  bool prepared = false;
  std::optional<std::string> received;
};

Kept& kept() {
  static Kept sKept;
  return sKept;
}

std::string_view withoutTrailingSlashes(std::string_view folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.remove_suffix(1);
  return folder;
}

bool isDataDirsEntry(std::string_view entry) {
  return entry.size() > kDataDirsName.size() && entry.starts_with(kDataDirsName) &&
         entry[kDataDirsName.size()] == '=';
}

std::optional<std::string> currentDataDirs() {
  const char* value = std::getenv(kDataDirsName.data());
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

}  // namespace

std::optional<std::string> toolkitDataDirs(const std::optional<std::string>& received) {
  // Unset or empty already means the system's folders to GLib.
  if (!received || received->empty()) return std::nullopt;
  const std::vector<std::string> entries = path::splitColonList(*received);
  std::string value = *received;
  for (const std::string& system : path::splitColonList(kSystemDataDirs)) {
    bool named = false;
    for (const std::string& entry : entries) {
      named = named || withoutTrailingSlashes(entry) == system;
    }
    if (!named) value += ":" + system;
  }
  return value;
}

std::vector<std::string> withDataDirs(const std::vector<std::string>& environment,
                                      const std::optional<std::string>& received) {
  const std::string restored = std::string(kDataDirsName) + "=" + received.value_or("");
  std::vector<std::string> result;
  result.reserve(environment.size() + 1);
  bool placed = false;
  for (const std::string& entry : environment) {
    if (!isDataDirsEntry(entry)) {
      result.push_back(entry);
    } else if (received && !placed) {
      result.push_back(restored);  // where it stood: the child sees the order it would have
      placed = true;
    }
  }
  if (received && !placed) result.push_back(restored);
  return result;
}

void prepareToolkitEnvironment() {
  Kept& state = kept();
  if (state.prepared) return;
  state.prepared = true;
  state.received = currentDataDirs();
  if (auto value = toolkitDataDirs(state.received)) {
    ::setenv(kDataDirsName.data(), value->c_str(), 1);
  }
}

std::optional<std::string> receivedDataDirs() {
  return kept().prepared ? kept().received : currentDataDirs();
}

std::vector<std::string> receivedEnvironment() {
  std::vector<std::string> environment;
  for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
    environment.emplace_back(*entry);
  }
  if (!kept().prepared) return environment;
  return withDataDirs(environment, kept().received);
}

}  // namespace platform
