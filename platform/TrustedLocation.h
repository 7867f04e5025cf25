#pragma once

#include <functional>
#include <string>

namespace platform {

// How far a machine folder or file may be trusted by this process.
enum class Trust {
  kTrusted,    // it and every folder on the way to it belong to root or this user, and nobody
               // else may change them
  kMissing,    // it does not exist; every folder on the way that does is trusted
  kUntrusted,  // something on the way may be changed by someone else
};

struct TrustCheck {
  Trust trust = Trust::kUntrusted;
  std::string reason;  // for kUntrusted: which item fails the rule and how
};

// Checks the absolute path and every folder on the way down to it, as spelled and with symbolic
// links resolved: each must be owned by root or this process's user and must not be writable by
// group or others, except a folder with the sticky bit (where nobody may rename or remove what
// another user owns). A relative path is untrusted.
[[nodiscard]] TrustCheck checkTrustedLocation(const std::string& path);

// Receives each location left out as untrusted: the location asked about and the reason.
using UntrustedLocationHandler =
    std::function<void(const std::string& path, const std::string& reason)>;

// True when path is trusted or missing (so that reading it finds nothing); false when it is
// untrusted, after telling onUntrusted (when set).
[[nodiscard]] bool isUsableLocation(const std::string& path,
                                    const UntrustedLocationHandler& onUntrusted);

}  // namespace platform
