#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/TrustedLocation.h"

namespace platform {

// The machine's configuration for one program: key files (the desktop's "key = value" format)
// named relativePath under each machine configuration folder, the entries of $XDG_CONFIG_DIRS
// in order (default /etc/xdg). The user's own configuration folder is not part of it: these
// are settings an administrator makes for every user of the machine, so a file that someone
// other than root or the user could change (see TrustedLocation.h) is passed over and reported
// to onUntrusted.
class ConfigurationStore {
 public:
  ConfigurationStore(std::string relativePath, std::string group,
                     UntrustedLocationHandler onUntrusted = nullptr);

  // The integer under key in the group. The first file, in folder order, whose group holds the
  // key decides; a value there that is not an integer reads 0. No file holding the key, or an
  // unreadable file, reads 0 as well (an unreadable file is passed over).
  int integerValue(const std::string& key) const;
  // The text under key in the group, from the first file whose group holds the key, as for
  // integerValue; a value there that is not valid text reads as empty. None when no file holds
  // the key.
  std::optional<std::string> stringValue(const std::string& key) const;

  // The configuration folders searched, in order: absolute entries only.
  static std::vector<std::string> configurationFolders();

 private:
  std::string relativePath_;
  std::string group_;
  UntrustedLocationHandler onUntrusted_;
};

}  // namespace platform
