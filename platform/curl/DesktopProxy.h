#pragma once

// The proxy of each transfer attempt: libcurl's environment variables when any is set,
// otherwise the desktop's settings through a GIO proxy resolver, asked without blocking the
// main loop.

#include <curl/curl.h>
#include <gio/gio.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "platform/curl/OwnedSource.h"

namespace platform {

// Whether any proxy variable libcurl reads for http and https is set and not empty:
// http_proxy, https_proxy, HTTPS_PROXY, all_proxy, ALL_PROXY, no_proxy, NO_PROXY.
bool environmentNamesProxy();

// GIO's default proxy resolver (owned by GIO), or null when asking for it could end the
// process: glib-networking makes its resolver of GNOME's settings whatever the desktop, and
// that one aborts when GNOME's proxy schema is not where XDG_DATA_DIRS leads. Without the
// schema there are no desktop settings to read, so there is no desktop proxy.
GProxyResolver* desktopProxyResolver();

// One question to a resolver: the proxy for one address, answered on the main loop.
class DesktopProxyLookup {
 public:
  // proxy is the answer as libcurl takes it: "" for none (direct://, no answer libcurl can use,
  // or a failed lookup); the first usable answer wins. timedOut when the resolver gave no
  // answer within the deadline; proxy is "" then.
  using Done = std::function<void(const std::string& proxy, bool timedOut)>;

  // Asks resolver for url's proxy. done is called once, from the main loop (never inside
  // start), and may destroy the lookup. A PAC script may take the resolver seconds: the
  // question is given up after deadline.
  [[nodiscard]] static std::unique_ptr<DesktopProxyLookup> start(GProxyResolver* resolver,
                                                                 const std::string& url,
                                                                 std::chrono::milliseconds deadline,
                                                                 Done done);
  // Cancels a question still open; done is not called after.
  ~DesktopProxyLookup();
  DesktopProxyLookup(const DesktopProxyLookup&) = delete;
  DesktopProxyLookup& operator=(const DesktopProxyLookup&) = delete;

  // The deadline has come.
  void dispatchSource(GSource* source);

 private:
  struct Pending;
  explicit DesktopProxyLookup(Done done);
  static void answered(GObject* resolver, GAsyncResult* result, gpointer pending);
  void end(const std::string& proxy, bool timedOut);

  Done done_;
  Pending* pending_ = nullptr;  // the open question, owned by GIO's callback; null once answered
  GCancellable* cancellable_ = nullptr;  // a reference of our own
  SourcePtr deadline_;
};

// Lets libcurl answer a proxy's 407 with whatever it has: credentials in the proxy's address,
// or the user's Kerberos ticket (Negotiate). False when curl refuses an option.
[[nodiscard]] bool setProxyAuthentication(CURL* easy);

}  // namespace platform
