#include "platform/curl/DesktopProxy.h"

#include <gio/gio.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>

#include "platform/GLibPtr.h"

namespace platform {
namespace {

constexpr const char* kGnomeProxySchema = "org.gnome.system.proxy";

// One of the resolver's answers as a proxy for libcurl: "" for direct://, the address itself
// for the schemes libcurl speaks, none for any other.
std::optional<std::string> curlProxy(std::string_view answer) {
  const std::string_view::size_type end = answer.find("://");
  if (end == std::string_view::npos) return std::nullopt;
  std::string scheme(answer.substr(0, end));
  for (char& c : scheme) c = g_ascii_tolower(c);
  const std::string_view rest = answer.substr(end);
  if (scheme == "direct") return std::string();
  if (scheme == "http" || scheme == "https" || scheme == "socks4" || scheme == "socks4a" ||
      scheme == "socks5h") {
    return std::string(answer);
  }
  // GIO's own SOCKS client has the proxy resolve host names ("socks" is GNOME's SOCKS setting,
  // version 5 first): so does libcurl's socks5h, where plain socks5 would resolve them here.
  if (scheme == "socks" || scheme == "socks5") return "socks5h" + std::string(rest);
  return std::nullopt;
}

// Whether GIO's resolver can be asked at all. On a GNOME desktop GIO reads GNOME's proxy
// settings, and ends the process when their schema cannot be found (a schema folder missing
// from XDG_DATA_DIRS): without the schema there are no settings to read, so none are asked for.
bool desktopSettingsReadable() {
  const char* desktops = std::getenv("XDG_CURRENT_DESKTOP");
  if (!desktops || !std::strstr(desktops, "GNOME")) return true;
  GSettingsSchemaSource* source = g_settings_schema_source_get_default();  // owned by GIO
  if (!source) return false;
  GSettingsSchema* schema = g_settings_schema_source_lookup(source, kGnomeProxySchema, TRUE);
  if (!schema) return false;
  g_settings_schema_unref(schema);
  return true;
}

}  // namespace

bool environmentNamesProxy() {
  for (const char* name : {"http_proxy", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY",
                           "no_proxy", "NO_PROXY"}) {
    const char* value = std::getenv(name);
    if (value && *value) return true;
  }
  return false;
}

std::string desktopProxyFor(const std::string& url) {
  if (!desktopSettingsReadable()) return {};
  GProxyResolver* resolver = g_proxy_resolver_get_default();  // owned by GIO
  GError* rawError = nullptr;
  GStrvPtr answers(g_proxy_resolver_lookup(resolver, url.c_str(), nullptr, &rawError));
  GErrorPtr error(rawError);
  if (!answers) return {};
  for (gchar** answer = answers.get(); *answer; ++answer) {
    if (std::optional<std::string> proxy = curlProxy(*answer)) return *proxy;
  }
  return {};
}

bool setProxyForAttempt(CURL* easy, const std::string& url) {
  if (environmentNamesProxy()) return true;
  return curl_easy_setopt(easy, CURLOPT_PROXY, desktopProxyFor(url).c_str()) == CURLE_OK;
}

bool setProxyAuthentication(CURL* easy) {
  // libcurl answers a 407 only when it holds proxy credentials; empty ones let it offer the
  // Kerberos ticket, and credentials in the proxy's address take their place.
  return curl_easy_setopt(easy, CURLOPT_PROXYAUTH, CURLAUTH_ANY) == CURLE_OK &&
         curl_easy_setopt(easy, CURLOPT_PROXYUSERPWD, ":") == CURLE_OK;
}

}  // namespace platform
