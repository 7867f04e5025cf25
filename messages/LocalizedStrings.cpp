#include "messages/LocalizedStrings.h"

#include "platform/Locale.h"

int embeddedStringLocale = -1;

std::optional<std::string> LocalizedStrings::getEmbeddedMessage(int id) {
  // Chosen once: later changes to the preferences are not seen by this process.
  if (embeddedStringLocale == -1) embeddedStringLocale = GetFatalErrorMessageIndex();
  if (id < 0 || id >= kMessageCount) return std::nullopt;
  EmbeddedText text = allMessages[embeddedStringLocale].messages[id];
  if (text == nullptr) return std::nullopt;
  return wchartoNSString(text);
}

std::optional<std::string> LocalizedStrings::getStatusMessage(int id) {
  if (embeddedStringLocale == -1) embeddedStringLocale = GetFatalErrorMessageIndex();
  const int index = id - kFirstStatusMessage;
  if (index < 0 || index >= kStatusMessageCount) return std::nullopt;
  EmbeddedText text = allStatusMessages[embeddedStringLocale].messages[index];
  if (text == nullptr) return std::nullopt;
  return wchartoNSString(text);
}

int GetFatalErrorMessageIndex() {
  int result = kDefaultMessageIndex;
  bool found = false;
  for (const std::string& preference : platform::preferredLanguages()) {
    const std::string canonical = platform::canonicalLocaleIdentifier(preference);
    result = FindMessageIndex(canonical, found);
    if (found) break;

    // One subtag only: "zh-Hant-TW" may become "zh-Hant", never "zh".
    bool trimmed = false;
    const std::string shorter = TrimLastSubTag(canonical, trimmed);
    if (trimmed) {
      result = FindMessageIndex(shorter, found);
      if (found) break;
    }
  }
  return result;
}

int FindMessageIndex(const std::string& tag, bool& found) {
  for (int i = 0; i < kLanguageCount; ++i) {
    if (tag == allMessages[i].tag) {
      found = true;
      return i;
    }
  }
  found = false;
  return kDefaultMessageIndex;
}

std::string TrimLastSubTag(const std::string& tag, bool& trimmed) {
  const std::size_t dash = tag.rfind('-');
  trimmed = dash != std::string::npos;
  return trimmed ? tag.substr(0, dash) : tag;
}

namespace {

void appendUtf8(std::string& out, char32_t c) {
  if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The unit at text, read little-endian whatever the host's byte order.
char32_t unitAt(EmbeddedText text) {
  return static_cast<char32_t>(text[0]) | static_cast<char32_t>(text[1]) << 8 |
         static_cast<char32_t>(text[2]) << 16 | static_cast<char32_t>(text[3]) << 24;
}

}  // namespace

std::string wchartoNSString(EmbeddedText text) {
  std::string result;
  if (text == nullptr) return result;
  std::size_t units = 0;
  while (unitAt(text + 4 * units) != 0) ++units;
  result.reserve(units);
  for (std::size_t i = 0; i < units; ++i) appendUtf8(result, unitAt(text + 4 * i));
  return result;
}
