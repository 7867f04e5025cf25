#pragma once

#include <optional>
#include <string>
#include <vector>

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
// entry that is the user's data folder or lies inside the user's home.
std::vector<std::string> searchPaths(SearchPathDirectory directory, unsigned domainMask);

// The user's home folder: $HOME, else the password database's entry.
std::string homeDirectory();

// A folder private to this process (mode 0700) under $TMPDIR (default /tmp), made on first
// use and kept for the life of the process; none when it cannot be made.
std::optional<std::string> temporaryDirectory();
// Removes the private temporary folder with everything in it, if it was made.
void removeTemporaryDirectory();

}  // namespace platform
