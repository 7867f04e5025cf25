#include "platform/SuggestedFilename.h"

#include <glib.h>

#include <optional>

namespace platform {

std::string suggestedFilename(std::string_view contentDisposition, std::string_view urlPath) {
  std::string name = plainFileName(dispositionFileName(contentDisposition));
  if (name.empty()) name = plainFileName(lastPathComponent(urlPath));
  if (name.empty()) name = "download";
  return name;
}

std::string percentDecoded(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && g_ascii_isxdigit(text[i + 1]) &&
        g_ascii_isxdigit(text[i + 2])) {
      out.push_back(static_cast<char>(g_ascii_xdigit_value(text[i + 1]) * 16 +
                                      g_ascii_xdigit_value(text[i + 2])));
      i += 2;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

std::string plainFileName(std::string_view name) {
  auto slash = name.find_last_of("/\\");
  if (slash != std::string_view::npos) name.remove_prefix(slash + 1);
  std::string plain;
  for (char c : name) {
    auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7f) plain.push_back(c);
  }
  if (plain == "." || plain == "..") plain.clear();
  return plain;
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' ||
                           text.back() == '\n')) {
    text.remove_suffix(1);
  }
  return text;
}

namespace {

bool equalsIgnoringCase(std::string_view text, std::string_view expected) {
  return text.size() == expected.size() &&
         g_ascii_strncasecmp(text.data(), expected.data(), text.size()) == 0;
}

// Removes text up to and including the next ";" (all of it when there is none).
void skipPastSemicolon(std::string_view& text) {
  const auto semicolon = text.find(';');
  text.remove_prefix(semicolon == std::string_view::npos ? text.size() : semicolon + 1);
}

// Reads a quoted-string whose opening quote is already consumed, through its closing quote; an
// unterminated one takes the rest. Only \" and \\ are taken as escapes: a sender has no need
// to escape anything else, and a backslash kept before other characters leaves a Windows path
// sent without escapes recognisable as a path, so its folders are dropped later.
std::string readQuoted(std::string_view& text) {
  std::string value;
  while (!text.empty()) {
    char c = text.front();
    text.remove_prefix(1);
    if (c == '"') break;
    if (c == '\\' && !text.empty() && (text.front() == '"' || text.front() == '\\')) {
      c = text.front();
      text.remove_prefix(1);
    }
    value.push_back(c);
  }
  return value;
}

// The RFC 5987 value charset'language'percent-encoded-bytes, decoded. Nothing when the charset
// is not UTF-8, an escape is malformed, or the bytes are not UTF-8 (or hold a NUL).
std::optional<std::string> decodedExtendedValue(std::string_view text) {
  const auto charsetEnd = text.find('\'');
  if (charsetEnd == std::string_view::npos) return std::nullopt;
  const auto languageEnd = text.find('\'', charsetEnd + 1);
  if (languageEnd == std::string_view::npos) return std::nullopt;
  if (!equalsIgnoringCase(text.substr(0, charsetEnd), "UTF-8")) return std::nullopt;
  const std::string_view encoded = text.substr(languageEnd + 1);
  std::string decoded;
  for (std::size_t i = 0; i < encoded.size(); ++i) {
    if (encoded[i] != '%') {
      decoded.push_back(encoded[i]);
      continue;
    }
    if (i + 2 >= encoded.size() || !g_ascii_isxdigit(encoded[i + 1]) ||
        !g_ascii_isxdigit(encoded[i + 2])) {
      return std::nullopt;
    }
    decoded.push_back(static_cast<char>(g_ascii_xdigit_value(encoded[i + 1]) * 16 +
                                        g_ascii_xdigit_value(encoded[i + 2])));
    i += 2;
  }
  if (!g_utf8_validate(decoded.data(), static_cast<gssize>(decoded.size()), nullptr)) {
    return std::nullopt;
  }
  return decoded;
}

}  // namespace

std::string dispositionFileName(std::string_view value) {
  // RFC 6266: type *( ";" name "=" ( token / quoted-string ) ). Quoted values may hold ";" and
  // "=", so the value is read item by item, never split first. The first usable value of each
  // parameter counts; the type is any item without "=".
  std::optional<std::string> plainName;
  std::optional<std::string> extendedName;
  while (!value.empty()) {
    const auto nameEnd = value.find_first_of("=;");
    const std::string_view name = trimmed(value.substr(0, nameEnd));
    if (nameEnd == std::string_view::npos || value[nameEnd] == ';') {
      skipPastSemicolon(value);
      continue;
    }
    value.remove_prefix(nameEnd + 1);
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) {
      value.remove_prefix(1);
    }
    std::string text;
    if (!value.empty() && value.front() == '"') {
      value.remove_prefix(1);
      text = readQuoted(value);
    } else {
      text = trimmed(value.substr(0, value.find(';')));
    }
    skipPastSemicolon(value);

    if (equalsIgnoringCase(name, "filename*")) {
      if (!extendedName) extendedName = decodedExtendedValue(text);
    } else if (equalsIgnoringCase(name, "filename")) {
      if (!plainName) plainName = std::move(text);
    }
  }
  if (extendedName && !extendedName->empty()) return *extendedName;
  return plainName.value_or(std::string());
}

std::string lastPathComponent(std::string_view urlPath) {
  if (urlPath.empty() || urlPath.back() == '/') return {};
  return percentDecoded(urlPath.substr(urlPath.find_last_of('/') + 1));
}

}  // namespace platform
