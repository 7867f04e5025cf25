#include "platform/curl/CurlUrl.h"

#include <curl/curl.h>
#include <glib.h>

#include <algorithm>
#include <optional>

#include "platform/GLibPtr.h"
#include "platform/UrlAddress.h"
#include "platform/curl/CurlHandles.h"

namespace platform {
namespace {

// url parsed by curl, unknown schemes included; null when it does not parse.
CurlUrlPtr parsed(const std::string& url, unsigned int flags = 0) {
  CurlUrlPtr handle(curl_url());
  if (!handle || curl_url_set(handle.get(), CURLUPART_URL, url.c_str(), flags) != CURLUE_OK) {
    return nullptr;
  }
  return handle;
}

// One part of a parsed URL; none when the URL has no such part.
std::optional<std::string> part(CURLU* handle, CURLUPart which, unsigned int flags = 0) {
  char* raw = nullptr;
  if (curl_url_get(handle, which, &raw, flags) != CURLUE_OK || !raw) return std::nullopt;
  CurlStringPtr text(raw);
  return std::string(text.get());
}

std::optional<std::string> wholeUrl(CURLU* handle) { return part(handle, CURLUPART_URL); }

bool hasScheme(CURLU* handle, const char* scheme) {
  const std::optional<std::string> given = part(handle, CURLUPART_SCHEME);
  return given && g_ascii_strcasecmp(given->c_str(), scheme) == 0;
}

}  // namespace

bool isHttpUrl(const std::string& url) {
  CurlUrlPtr handle = parsed(url);
  return handle && (hasScheme(handle.get(), "http") || hasScheme(handle.get(), "https"));
}

std::string_view transferProtocols(const std::string& url, bool allowFileUrl) {
  if (isHttpUrl(url)) return "http,https";
  if (allowFileUrl && localPathOfFileUrl(url)) return "file";
  return {};
}

std::string urlPath(const std::string& url) {
  CurlUrlPtr handle = parsed(url);
  if (!handle) return {};
  return part(handle.get(), CURLUPART_PATH).value_or("");
}

std::string addressForLog(const std::string& url) {
  if (CurlUrlPtr handle = parsed(url, CURLU_NON_SUPPORT_SCHEME)) {
    CURLU* u = handle.get();
    if (!part(u, CURLUPART_USER) && !part(u, CURLUPART_PASSWORD) && !part(u, CURLUPART_OPTIONS)) {
      return url;
    }
    if (curl_url_set(u, CURLUPART_USER, nullptr, 0) == CURLUE_OK &&
        curl_url_set(u, CURLUPART_PASSWORD, nullptr, 0) == CURLUE_OK &&
        curl_url_set(u, CURLUPART_OPTIONS, nullptr, 0) == CURLUE_OK) {
      if (std::optional<std::string> text = wholeUrl(u)) return *text;
    }
  }
  // Not an address curl reads: cut the user information out by its punctuation.
  const std::size_t start = url.find("//");
  if (start == std::string::npos) return url;
  const std::size_t authority = start + 2;
  const std::size_t end = std::min(url.find_first_of("/?#", authority), url.size());
  const std::size_t at = url.rfind('@', end == 0 ? 0 : end - 1);
  if (at == std::string::npos || at < authority) return url;
  return url.substr(0, authority) + url.substr(at + 1);
}

std::optional<std::string> withAsciiHost(const std::string& url) {
  CurlUrlPtr handle = parsed(url);
  if (!handle) return url;  // no host to write: the caller's own check refuses it
  const std::optional<std::string> host = part(handle.get(), CURLUPART_HOST);
  if (!host || !g_hostname_is_non_ascii(host->c_str())) return url;
  GCharPtr ascii(g_hostname_to_ascii(host->c_str()));
  if (!ascii || curl_url_set(handle.get(), CURLUPART_HOST, ascii.get(), 0) != CURLUE_OK) {
    return std::nullopt;
  }
  return wholeUrl(handle.get());
}

std::optional<std::string> localPathOfFileUrl(const std::string& url) {
  CurlUrlPtr handle = parsed(url);
  if (!handle || !hasScheme(handle.get(), "file")) return std::nullopt;
  // curl reads "file://localhost/..." as this machine and refuses any other host; a host left
  // over after parsing is not this machine's.
  if (const std::optional<std::string> host = part(handle.get(), CURLUPART_HOST)) {
    if (g_ascii_strcasecmp(host->c_str(), "localhost") != 0) return std::nullopt;
  }
  std::optional<std::string> path = part(handle.get(), CURLUPART_PATH, CURLU_URLDECODE);
  if (!path || path->empty() || path->front() != '/') return std::nullopt;
  return path;
}

}  // namespace platform
