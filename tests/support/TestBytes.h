#pragma once

#include <cstddef>
#include <string>

namespace testsupport {

// size bytes of letters that do not repeat with any short period, so a piece out of place, lost
// or doubled shows in a comparison.
inline std::string pattern(std::size_t size) {
  std::string text(size, '\0');
  for (std::size_t i = 0; i < size; ++i) text[i] = static_cast<char>('a' + (i * 7 + i / 251) % 26);
  return text;
}

}  // namespace testsupport
