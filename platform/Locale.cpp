#include "platform/Locale.h"

#include <algorithm>
#include <cstdlib>

#include "platform/Path.h"

namespace platform {

namespace {

std::string environmentValue(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
}

// The locale that decides the messages' language: the first non-empty of the variables that
// set it, in the order of their precedence.
std::string messagesLocale() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    std::string value = environmentValue(name);
    if (!value.empty()) return value;
  }
  return {};
}

// The C locale ignores $LANGUAGE, as gettext does: under it programs show their untranslated
// texts. "C.UTF-8" is the C locale with another codeset.
bool isCLocale(const std::string& locale) {
  const std::string canonical = canonicalLocaleIdentifier(locale);
  return canonical.empty() || canonical == "C" || canonical == "POSIX";
}

}  // namespace

std::vector<std::string> preferredLanguages() {
  const std::string locale = messagesLocale();
  if (!isCLocale(locale)) {
    std::vector<std::string> languages = path::splitColonList(environmentValue("LANGUAGE"));
    if (!languages.empty()) return languages;
  }
  if (locale.empty()) return {};
  return {locale};
}

std::string canonicalLocaleIdentifier(const std::string& identifier) {
  // language[_territory][.codeset][@modifier]: the modifier may itself hold a dot, so it goes
  // first.
  std::string canonical = identifier.substr(0, identifier.find('@'));
  canonical = canonical.substr(0, canonical.find('.'));
  std::replace(canonical.begin(), canonical.end(), '_', '-');

  if (canonical == "zh-TW" || canonical == "zh-HK" || canonical == "zh-MO") {
    canonical.insert(3, "Hant-");
  } else if (canonical == "zh-CN" || canonical == "zh-SG") {
    canonical.insert(3, "Hans-");
  }
  return canonical;
}

}  // namespace platform
