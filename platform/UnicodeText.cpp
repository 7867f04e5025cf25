#include "platform/UnicodeText.h"

#include <glib.h>

#include <memory>
#include <optional>
#include <string>

#include "platform/GLibPtr.h"

namespace platform {

namespace {

// The canonical decomposition (NFD) of text, or none when it is not valid UTF-8.
std::optional<std::string> decomposed(std::string_view text) {
  if (!isValidUtf8(text)) return std::nullopt;
  GCharPtr nfd(g_utf8_normalize(text.data(), static_cast<gssize>(text.size()), G_NORMALIZE_NFD));
  if (!nfd) return std::nullopt;
  return std::string(nfd.get());
}

}  // namespace

bool isValidUtf8(std::string_view text) {
  // g_utf8_validate_len accepts neither embedded NULs nor overlong or surrogate forms.
  return g_utf8_validate_len(text.data(), text.size(), nullptr);
}

bool canonicallyEqual(std::string_view a, std::string_view b) {
  if (a == b) return isValidUtf8(a);
  auto da = decomposed(a);
  auto db = decomposed(b);
  return da && db && *da == *db;
}

}  // namespace platform
