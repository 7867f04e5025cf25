#pragma once

// $XDG_DATA_DIRS has two readers with different needs. The runtime search and the installers
// this program starts must see exactly the value the program was given: an administrator or a
// script may point it at nothing but a runtime folder. GLib, GIO and GTK read the same variable
// for their own data (GSettings schemas, the MIME database through which GTK loads its icons),
// and GTK aborts when it finds none. So the received value is kept aside for the search and for
// children, and the process's own environment, which only the toolkit reads after start-up,
// gets the system's data folders appended.

#include <optional>
#include <string>
#include <vector>

namespace platform {

// The system's data folders: what $XDG_DATA_DIRS means when it is unset or empty.
inline constexpr const char* kSystemDataDirs = "/usr/local/share:/usr/share";

// The value the toolkit is given for received (nullopt: unset): none (nothing to change) when
// received is unset or empty, otherwise received followed by each system data folder that none
// of its entries names (a trailing "/" does not count).
std::optional<std::string> toolkitDataDirs(const std::optional<std::string>& received);

// environment ("NAME=value" entries) with $XDG_DATA_DIRS set back to received: its first entry
// replaced in place (any other removed), all removed when received is nullopt, or one added at
// the end when there was none.
std::vector<std::string> withDataDirs(const std::vector<std::string>& environment,
                                      const std::optional<std::string>& received);

// Keeps $XDG_DATA_DIRS as received and sets the toolkit's value in the environment. Call from
// the main thread at start-up, before any GLib call reads the environment (GLib reads the data
// folders once and keeps them); later calls do nothing.
void prepareToolkitEnvironment();

// $XDG_DATA_DIRS as the program received it (nullopt: unset); before
// prepareToolkitEnvironment, the environment's current value.
std::optional<std::string> receivedDataDirs();

// The process's environment as the program received it, for a child to start with.
std::vector<std::string> receivedEnvironment();

}  // namespace platform
