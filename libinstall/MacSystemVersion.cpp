#include "libinstall/MacSystemVersion.h"

#include <climits>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/PropertyList.h"

// Constant-initialised: both hold all zeros before any code of the program runs.
constinit const MacSystemVersion MacSystemVersion::sMacSystemVersionUninitialized{};
constinit MacSystemVersion MacSystemVersion::sCachedSystemVersion{};

namespace {

constexpr MacSystemVersion kFailureVersion{10, 0, 0};

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// The leading decimal number of text, after optional blanks and a sign; 0 when there is none.
// Values beyond the 32-bit range stop at its limits.
long long leadingInteger(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && isBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) return -value;
  return value > INT_MAX ? INT_MAX : value;
}

// Keeps the low 16 bits, as a 16-bit component holds them.
std::uint16_t component(std::string_view text) {
  return static_cast<std::uint16_t>(static_cast<std::uint64_t>(leadingInteger(text)) & 0xFFFFu);
}

std::vector<std::string_view> splitAtPoints(std::string_view text) {
  std::vector<std::string_view> parts;
  for (;;) {
    auto point = text.find('.');
    parts.push_back(text.substr(0, point));
    if (point == std::string_view::npos) return parts;
    text.remove_prefix(point + 1);
  }
}

}  // namespace

MacSystemVersion MacSystemVersion::GetSystemVersion() {
  return GetSystemVersion(kSystemVersionPath);
}

MacSystemVersion MacSystemVersion::GetSystemVersion(const std::string& path) {
  auto plist = platform::PropertyList::fromFile(path);
  if (!plist) return kFailureVersion;
  const platform::PropertyList* value = plist->valueForKey("ProductVersion");
  const std::string* productVersion = value ? value->stringValue() : nullptr;
  if (!productVersion) return kFailureVersion;
  const auto parts = splitAtPoints(*productVersion);
  if (parts.size() < 2 || parts.size() > 3) return kFailureVersion;
  return MacSystemVersion(component(parts[0]), component(parts[1]),
                          parts.size() == 3 ? component(parts[2]) : 0, 0);
}

const MacSystemVersion& MacSystemVersion::CurrentSystemVersion() {
  return CurrentSystemVersion(kSystemVersionPath);
}

const MacSystemVersion& MacSystemVersion::CurrentSystemVersion(const std::string& path) {
  if (sCachedSystemVersion == sMacSystemVersionUninitialized) {
    sCachedSystemVersion = GetSystemVersion(path);
  }
  return sCachedSystemVersion;
}
