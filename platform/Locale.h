#pragma once

#include <string>
#include <vector>

namespace platform {

// The user's preferred languages, most preferred first, as the environment gives them (not yet
// canonical): the entries of $LANGUAGE (colon-separated, empty entries skipped) when the locale
// is not C or POSIX; otherwise the first non-empty of $LC_ALL, $LC_MESSAGES, $LANG. Empty when
// none of them is set. Read afresh on every call.
std::vector<std::string> preferredLanguages();

// The canonical form of a locale identifier: ".codeset" and "@modifier" dropped, "_" turned into
// "-", and "zh-TW", "zh-HK", "zh-MO" given the script "Hant", "zh-CN", "zh-SG" the script "Hans"
// ("zh_TW.UTF-8" gives "zh-Hant-TW"). Letter case is kept. "C" and "POSIX" stay as they are,
// and so match no language.
std::string canonicalLocaleIdentifier(const std::string& identifier);

}  // namespace platform
