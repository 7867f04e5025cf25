#pragma once

#include <string_view>

namespace platform {

// True when text is well-formed UTF-8.
bool isValidUtf8(std::string_view text);

// True when a and b are the same text up to Unicode canonical equivalence (a precomposed
// letter equals its base letter followed by the combining mark). Case-sensitive, nothing is
// trimmed. Text that is not valid UTF-8 equals nothing.
bool canonicallyEqual(std::string_view a, std::string_view b);

}  // namespace platform
