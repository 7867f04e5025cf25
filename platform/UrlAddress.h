#pragma once

// Addresses as the transfers read them, for the code that builds, checks and logs them.

#include <optional>
#include <string>

namespace platform {

// url as it may be written to a log: without the user name and password it may carry. An
// address that does not parse loses everything between its "//" and the last "@" before the
// path, so a secret never reaches the log through a typing mistake.
[[nodiscard]] std::string addressForLog(const std::string& url);

// url with its host name as the name is looked up: an international name in its ASCII form
// (IDNA, "xn--" labels), an ASCII name as it stands (url unchanged). None when its host has no
// such form; url unchanged when it does not parse at all.
[[nodiscard]] std::optional<std::string> withAsciiHost(const std::string& url);

// The local path (percent-encoding undone) a file: URL names; none for any other URL, and for a
// file: URL that names a host other than this machine ("localhost" or none).
[[nodiscard]] std::optional<std::string> localPathOfFileUrl(const std::string& url);

}  // namespace platform
