// The transfer of one URL, continued: how an attempt is made. The options every attempt
// shares, then for each attempt its address, its range, its proxy (the desktop's settings are
// asked without blocking the loop) and its request handed to curl.
#include <algorithm>
#include <chrono>
#include <string>
#include <string_view>

#include "platform/curl/CurlTransfer.h"
#include "platform/curl/CurlUrl.h"
#include "platform/curl/DesktopProxy.h"
#include "platform/curl/TlsTrust.h"
#include "platform/curl/UrlErrors.h"

namespace platform {

namespace {

constexpr long kReceiveBufferSize = 512L * 1024;  // curl's largest receive buffer

}  // namespace

bool CurlTransfer::start() {
  easy.reset(curl_easy_init());
  if (!easy) return false;
  curl_slist* list = curl_slist_append(nullptr, "Cache-Control: no-cache");
  if (list) requestHeaders.reset(list);
  if (!list || !curl_slist_append(list, "Pragma: no-cache")) return false;
  if (!setSharedOptions()) return false;
  // The size-only attempt's "connection" (the open file) is not kept: libcurl 8 would take the
  // next attempt as done on it and read nothing.
  if (localFile && (curl_easy_setopt(easy.get(), CURLOPT_NOBODY, 1L) != CURLE_OK ||
                    curl_easy_setopt(easy.get(), CURLOPT_FORBID_REUSE, 1L) != CURLE_OK ||
                    curl_easy_setopt(easy.get(), CURLOPT_FRESH_CONNECT, 1L) != CURLE_OK)) {
    return false;
  }
  pumpSource = OwnedSource<CurlTransfer>::make(this);
  deadlineSource = OwnedSource<CurlTransfer>::make(this);
  retrySource = OwnedSource<CurlTransfer>::make(this);
  retryPolicy.pauses = limits.durations.retryPauses;
  if (limits.maxDuration) {
    transferDeadline = g_get_monotonic_time() + microseconds(*limits.maxDuration);
  }
  return beginAttempt();
}

namespace {

// Limits the transfer to protocols ("http,https" or "file"), redirects included.
bool allowProtocols(CURL* handle, std::string_view protocols) {
  const std::string names(protocols);
  if (curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, names.c_str()) == CURLE_OK) return true;
    // libcurl before 7.85 (Ubuntu 22.04 carries 7.81) knows only the older bit mask.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  const long mask = names == "file" ? long{CURLPROTO_FILE} : long{CURLPROTO_HTTP | CURLPROTO_HTTPS};
  return curl_easy_setopt(handle, CURLOPT_PROTOCOLS, mask) == CURLE_OK;
#pragma GCC diagnostic pop
}

}  // namespace

bool CurlTransfer::setSharedOptions() {
  CURL* handle = easy.get();
  bool ok =
      allowProtocols(handle, transferProtocols(requestedUrl, limits.allowFileUrl)) &&
      curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 0L) == CURLE_OK &&
      curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS,
                       static_cast<long>(limits.durations.connect.count())) == CURLE_OK &&
      curl_easy_setopt(handle, CURLOPT_HTTPHEADER, requestHeaders.get()) == CURLE_OK &&
      curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, &CurlTransfer::headerCallback) == CURLE_OK &&
      curl_easy_setopt(handle, CURLOPT_HEADERDATA, this) == CURLE_OK &&
      curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &CurlTransfer::writeCallback) == CURLE_OK &&
      curl_easy_setopt(handle, CURLOPT_WRITEDATA, this) == CURLE_OK &&
      curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L) == CURLE_OK &&
      curl_easy_setopt(handle, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L) == CURLE_OK &&
      curl_easy_setopt(handle, CURLOPT_USERAGENT, "ZanthBootstrapper") == CURLE_OK &&
      setTlsTrust(handle) && setProxyAuthentication(handle);
  if (!ok) return false;
  curl_easy_setopt(handle, CURLOPT_BUFFERSIZE, kReceiveBufferSize);  // a hint; smaller is fine
  return true;
}

// Sets what differs from one attempt to the next. When the environment names no proxy, the
// desktop's settings are asked first (libcurl reads the environment itself); an answer that
// does not come in time sends the request direct.
bool CurlTransfer::beginAttempt() {
  attempt = Attempt{};
  if (curl_easy_setopt(easy.get(), CURLOPT_URL, currentUrl.c_str()) != CURLE_OK || !setRange()) {
    return false;
  }
  // A file is read here: there is no proxy to ask for.
  if (localFile || environmentNamesProxy()) return sendRequest();
  GProxyResolver* resolver = limits.proxyResolver ? limits.proxyResolver : desktopProxyResolver();
  if (!resolver) {
    // No desktop proxy; the empty address also clears a previous attempt's.
    return curl_easy_setopt(easy.get(), CURLOPT_PROXY, "") == CURLE_OK && sendRequest();
  }
  std::chrono::milliseconds deadline = limits.durations.proxyLookup;
  if (transferDeadline) {
    const auto left = std::chrono::microseconds(*transferDeadline - g_get_monotonic_time());
    deadline = std::clamp(std::chrono::duration_cast<std::chrono::milliseconds>(left),
                          std::chrono::milliseconds(0), deadline);
  }
  moveTo(State::FindingProxy);
  attempt.proxyLookup = DesktopProxyLookup::start(
      resolver, currentUrl, deadline,
      [this](const std::string& proxy, bool timedOut) { proxyFound(proxy, timedOut); });
  return true;
}

void CurlTransfer::proxyFound(const std::string& proxy, bool timedOut) {
  auto self = shared_from_this();  // the delegate may drop the owner's reference
  if (transferDeadline && g_get_monotonic_time() >= *transferDeadline) {
    return fail(urlError(url_error::kTimedOut, "The request timed out.", currentUrl));
  }
  if (timedOut) {
    const auto seconds = std::chrono::duration<double>(limits.durations.proxyLookup).count();
    char reason[64];
    g_snprintf(reason, sizeof reason, "no answer within %g s, going direct", seconds);
    delegate->willIgnoreDesktopProxy(*owner, currentUrl, reason);
    if (stopped()) return;
  }
  if (curl_easy_setopt(easy.get(), CURLOPT_PROXY, proxy.c_str()) != CURLE_OK || !sendRequest()) {
    fail(urlError(url_error::kCannotConnectToHost, "Could not connect to the server.", currentUrl));
  }
}

// Hands the attempt's request to curl.
bool CurlTransfer::sendRequest() {
  if (!CurlLoop::shared().add(easy.get(), *this)) return false;
  moveTo(State::Requesting);
  return true;
}

}  // namespace platform
