#include "platform/Bundle.h"

#include <unistd.h>

#include <climits>

#include "BuildConfig.h"
#include "platform/FileManager.h"
#include "platform/Path.h"
#include "platform/ProcessInfo.h"

namespace platform {
namespace {

std::string absolutePath(const std::string& path) {
  if (!path.empty() && path.front() == '/') return path;
  char cwd[PATH_MAX];
  if (!::getcwd(cwd, sizeof cwd)) return path;
  return path::appendComponent(cwd, path);
}

// The program's path: its first argument when that names a file by path, otherwise the file
// the kernel started (a bare name was found through PATH, or there was no name at all).
std::string executableFile() {
  const auto& args = ProcessInfo::arguments();
  if (!args.empty() && args[0].find('/') != std::string::npos) return absolutePath(args[0]);
  return ProcessInfo::executablePath();
}

bool endsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

std::optional<PropertyList> readInfo(const std::string& bundlePath,
                                     const UntrustedLocationHandler& onUntrusted) {
  for (const char* candidate : {"Contents/Info.plist", "Resources/Info.plist", "Info.plist"}) {
    const std::string infoPath = path::appendComponent(bundlePath, candidate);
    // What the list says decides what runs and which version is believed installed. A list
    // others may change is the package's answer all the same: the next candidate does not
    // stand in for it.
    if (!isUsableLocation(infoPath, onUntrusted)) return std::nullopt;
    auto info = PropertyList::fromFile(infoPath);
    if (info && info->isDictionary()) return info;
  }
  return std::nullopt;
}

}  // namespace

Bundle Bundle::makeMainBundle() {
  const std::string exe = executableFile();
  const std::string folder = path::deletingLastComponent(exe);
  PropertyList::Dictionary info;
  info.emplace("CFBundleVersion", PropertyList(std::string(ZANTH_BUNDLE_VERSION)));
  info.emplace("CFBundleExecutable", PropertyList(path::lastComponent(exe)));
  // Inside an application package the resources are in Contents/Resources; a plain program
  // keeps them beside itself.
  const std::string contents = path::deletingLastComponent(folder);
  const std::string app = path::deletingLastComponent(contents);
  if (endsWith(folder, "/Contents/MacOS") && endsWith(app, ".app")) {
    return Bundle(app, path::appendComponent(contents, "Resources"), PropertyList(std::move(info)));
  }
  return Bundle(folder, folder, PropertyList(std::move(info)));
}

const Bundle& Bundle::mainBundle() {
  static const Bundle sMain = makeMainBundle();
  return sMain;
}

std::optional<Bundle> Bundle::bundleAtPath(const std::string& path,
                                           const UntrustedLocationHandler& onUntrusted) {
  bool isDirectory = false;
  if (!FileManager::defaultManager().fileExists(path, &isDirectory) || !isDirectory) {
    return std::nullopt;
  }
  std::string resources = path::appendComponent(path, "Contents/Resources");
  if (!FileManager::defaultManager().fileExists(resources)) resources = path;
  return Bundle(path, std::move(resources), readInfo(absolutePath(path), onUntrusted));
}

std::optional<std::string> Bundle::infoValue(std::string_view key) const {
  if (!info_) return std::nullopt;
  const PropertyList* value = info_->valueForKey(key);
  const std::string* text = value ? value->stringValue() : nullptr;
  return text ? std::optional<std::string>(*text) : std::nullopt;
}

std::optional<std::string> Bundle::pathForResource(const std::string& name,
                                                   const std::string& type) const {
  std::string file = type.empty() ? name : name + "." + type;
  std::string candidate = path::appendComponent(resourcePath_, file);
  if (!FileManager::defaultManager().fileExists(candidate)) return std::nullopt;
  return candidate;
}

std::optional<std::string> Bundle::executablePath() const {
  auto name = infoValue("CFBundleExecutable");
  if (!name || name->empty() || name->find('/') != std::string::npos) return std::nullopt;
  for (const std::string& folder :
       {path::appendComponent(bundlePath_, "Contents/MacOS"), bundlePath_}) {
    std::string candidate = path::appendComponent(folder, *name);
    bool isDirectory = false;
    if (FileManager::defaultManager().fileExists(candidate, &isDirectory) && !isDirectory) {
      return candidate;
    }
  }
  return std::nullopt;
}

}  // namespace platform
