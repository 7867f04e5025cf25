#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/TrustedLocation.h"

namespace platform {

// Standard folders, as the desktop's base-directory settings name them.
enum class SearchPathDirectory { Library = 5, ApplicationSupport = 14 };

// Which owners' folders to list; combine with |.
enum SearchPathDomainMask : unsigned {
  kUserDomainMask = 1,
  kLocalDomainMask = 2,
  kNetworkDomainMask = 4,
  kSystemDomainMask = 8,
};

// The folders of directory in the domains of mask, in domain order, absolute paths.
// The user's domain is the user's data folder ($XDG_DATA_HOME, default ~/.local/share). The
// machine-wide domains (local, network, system) share one list: the entries of $XDG_DATA_DIRS
// (default /usr/local/share:/usr/share), without empty or relative entries and without any
// entry that is the user's data folder or lies inside the user's home. An entry that someone
// other than root or the user could change (see TrustedLocation.h) is left out as well, and
// reported to onUntrusted.
std::vector<std::string> searchPaths(SearchPathDirectory directory, unsigned domainMask,
                                     const UntrustedLocationHandler& onUntrusted = nullptr);

// The user's home folder: $HOME, else the password database's entry.
std::string homeDirectory();

// Where this process finds its open descriptors by name.
inline constexpr const char* kDescriptorFolder = "/proc/self/fd";

// Why this process could not start a downloaded program at all, "" when it can: such a program
// is started from its open descriptor, named through descriptorFolder, and the private folder
// below is removed through it too.
std::string whyDescriptorsCannotBeNamed(const std::string& descriptorFolder = kDescriptorFolder);
// Why a program saved in folder could not be started from there (its file system is mounted
// noexec), "" when nothing stands in the way; a folder that cannot be examined gives "".
std::string whyProgramsCannotStartIn(const std::string& folder);

// A folder private to this process (mode 0700) where downloaded programs can be started, made
// on first use and kept for the life of the process: under $TMPDIR (default /tmp), or under the
// user's cache folder ($XDG_CACHE_HOME, default ~/.cache, made when missing) when $TMPDIR is
// missing, mounted noexec or no folder can be made there. None when $TMPDIR exists but others
// could change it (as TrustedLocation.h decides: a shared folder without the sticky bit lets
// anyone rename the private folder away), when neither place works, or when no downloaded
// program could be started at all (whyDescriptorsCannotBeNamed); then problem (when given)
// receives why.
std::optional<std::string> temporaryDirectory(std::string* problem = nullptr);
// Removes the private temporary folder with everything in it, if it was made. The folder is
// reached through a descriptor held since it was made, so what is inside goes even when the
// folder was renamed meanwhile, and a folder put in its place is left alone.
void removeTemporaryDirectory();

}  // namespace platform
