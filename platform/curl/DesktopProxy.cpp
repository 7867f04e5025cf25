#include "platform/curl/DesktopProxy.h"

#include <gio/gio.h>

#include <cstdlib>
#include <optional>
#include <string_view>
#include <utility>

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

// The first of the resolver's answers libcurl can use; "" for none.
std::string firstUsable(gchar** answers) {
  for (gchar** answer = answers; answer && *answer; ++answer) {
    if (std::optional<std::string> proxy = curlProxy(*answer)) return *proxy;
  }
  return {};
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

GProxyResolver* desktopProxyResolver() {
  GSettingsSchemaSource* source = g_settings_schema_source_get_default();  // owned by GIO
  if (!source) return nullptr;
  GSettingsSchema* schema = g_settings_schema_source_lookup(source, kGnomeProxySchema, TRUE);
  if (!schema) return nullptr;
  g_settings_schema_unref(schema);
  return g_proxy_resolver_get_default();
}

// The question as GIO's callback holds it: the lookup it answers, null once that lookup has
// been destroyed or has given up. GIO always calls back, a cancelled question too, and the
// callback frees it.
struct DesktopProxyLookup::Pending {
  DesktopProxyLookup* lookup;
};

DesktopProxyLookup::DesktopProxyLookup(Done done)
    : done_(std::move(done)), cancellable_(g_cancellable_new()) {}

std::unique_ptr<DesktopProxyLookup> DesktopProxyLookup::start(GProxyResolver* resolver,
                                                              const std::string& url,
                                                              std::chrono::milliseconds deadline,
                                                              Done done) {
  std::unique_ptr<DesktopProxyLookup> lookup(new DesktopProxyLookup(std::move(done)));
  lookup->deadline_ = OwnedSource<DesktopProxyLookup>::make(lookup.get());
  g_source_set_ready_time(
      lookup->deadline_.get(),
      g_get_monotonic_time() +
          std::chrono::duration_cast<std::chrono::microseconds>(deadline).count());
  lookup->pending_ = new Pending{lookup.get()};
  // GTask answers in a later turn of the loop even when the resolver knows at once.
  g_proxy_resolver_lookup_async(resolver, url.c_str(), lookup->cancellable_,
                                &DesktopProxyLookup::answered, lookup->pending_);
  return lookup;
}

DesktopProxyLookup::~DesktopProxyLookup() {
  if (pending_) {
    pending_->lookup = nullptr;
    g_cancellable_cancel(cancellable_);
  }
  g_object_unref(cancellable_);
}

void DesktopProxyLookup::answered(GObject* resolver, GAsyncResult* result, gpointer data) {
  const std::unique_ptr<Pending> pending(static_cast<Pending*>(data));
  GError* rawError = nullptr;
  GStrvPtr answers(g_proxy_resolver_lookup_finish(G_PROXY_RESOLVER(resolver), result, &rawError));
  GErrorPtr error(rawError);
  DesktopProxyLookup* lookup = pending->lookup;
  if (!lookup) return;
  lookup->pending_ = nullptr;
  lookup->end(firstUsable(answers.get()), false);
}

void DesktopProxyLookup::dispatchSource(GSource*) {
  if (pending_) {
    pending_->lookup = nullptr;
    pending_ = nullptr;
    g_cancellable_cancel(cancellable_);  // a PAC runner may stop working on it
  }
  end({}, true);
}

void DesktopProxyLookup::end(const std::string& proxy, bool timedOut) {
  deadline_.reset();
  Done done = std::move(done_);
  done(proxy, timedOut);  // may destroy this lookup
}

bool setProxyAuthentication(CURL* easy) {
  // libcurl answers a 407 only when it holds proxy credentials; empty ones let it offer the
  // Kerberos ticket, and credentials in the proxy's address take their place.
  return curl_easy_setopt(easy, CURLOPT_PROXYAUTH, CURLAUTH_ANY) == CURLE_OK &&
         curl_easy_setopt(easy, CURLOPT_PROXYUSERPWD, ":") == CURLE_OK;
}

}  // namespace platform
