#pragma once

#include <optional>
#include <string>

#include "platform/PropertyList.h"
#include "platform/TrustedLocation.h"

namespace platform {

// A folder with an information property list: the program's own (the main bundle) or a
// package such as the runtime or its Application Installer.
class Bundle {
 public:
  // The program's bundle, derived from its path (the first process argument). Its information
  // dictionary is compiled in: the bundle version and the executable's name.
  static const Bundle& mainBundle();
  // The package at path; none when no directory exists there. Its information property list
  // is trusted as a machine folder is (see TrustedLocation.h): one that someone other than
  // root or this user could change is not read, the package then has no information
  // dictionary, and onUntrusted (when set) is told.
  static std::optional<Bundle> bundleAtPath(const std::string& path,
                                            const UntrustedLocationHandler& onUntrusted = nullptr);

  const std::string& bundlePath() const { return bundlePath_; }
  // Contents/Info.plist, else Resources/Info.plist, else Info.plist; null when none is a
  // readable dictionary.
  const PropertyList* infoDictionary() const { return info_ ? &*info_ : nullptr; }
  // The string value under key in the information dictionary.
  std::optional<std::string> infoValue(std::string_view key) const;
  // The folder that holds the bundle's resources.
  const std::string& resourcePath() const { return resourcePath_; }
  // The resource "name.type" in the resource folder; none when nothing is there.
  std::optional<std::string> pathForResource(const std::string& name,
                                             const std::string& type) const;
  // The main executable named by CFBundleExecutable: Contents/MacOS/<name>, else <bundle>/<name>;
  // none when the name is missing or no file is there.
  std::optional<std::string> executablePath() const;

 private:
  static Bundle makeMainBundle();
  Bundle(std::string bundlePath, std::string resourcePath, std::optional<PropertyList> info)
      : bundlePath_(std::move(bundlePath)),
        resourcePath_(std::move(resourcePath)),
        info_(std::move(info)) {}

  std::string bundlePath_;
  std::string resourcePath_;
  std::optional<PropertyList> info_;
};

}  // namespace platform
