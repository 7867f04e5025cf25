#include "platform/SuggestedFilename.h"

#include <glib.h>

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

std::string dispositionFileName(std::string_view value) {
  std::string plainName;
  std::string extendedName;
  while (!value.empty()) {
    auto semicolon = value.find(';');
    std::string_view part = trimmed(value.substr(0, semicolon));
    value = semicolon == std::string_view::npos ? std::string_view() : value.substr(semicolon + 1);
    auto equals = part.find('=');
    if (equals == std::string_view::npos) continue;
    std::string_view key = trimmed(part.substr(0, equals));
    std::string_view text = trimmed(part.substr(equals + 1));
    if (g_ascii_strncasecmp(key.data(), "filename*", key.size()) == 0 && key.size() == 9) {
      auto quote = text.find("''");
      if (quote != std::string_view::npos) extendedName = percentDecoded(text.substr(quote + 2));
    } else if (g_ascii_strncasecmp(key.data(), "filename", key.size()) == 0 && key.size() == 8) {
      if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
        text = text.substr(1, text.size() - 2);
      }
      plainName.assign(text);
    }
  }
  return extendedName.empty() ? plainName : extendedName;
}

std::string lastPathComponent(std::string_view urlPath) {
  if (urlPath.empty() || urlPath.back() == '/') return {};
  return percentDecoded(urlPath.substr(urlPath.find_last_of('/') + 1));
}

}  // namespace platform
