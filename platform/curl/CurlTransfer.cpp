// The transfer of one URL on libcurl's multi-socket interface, driven by the GLib main loop.
//
// One process-wide multi handle sits on one GLib source (CurlLoop). curl's own callbacks (header
// and body) only record and save data; every delegate call is made later from a per-transfer
// source, so the delegate may destroy the transfer in any call without pulling an easy handle out
// from under curl.
#include "platform/curl/CurlTransfer.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <string_view>

#include "platform/SuggestedFilename.h"
#include "platform/curl/CurlUrl.h"
#include "platform/curl/DesktopProxy.h"
#include "platform/curl/TlsTrust.h"
#include "platform/curl/UrlErrors.h"

namespace platform {

namespace {

constexpr int kMaxRedirects = 20;
constexpr long kReceiveBufferSize = 512L * 1024;  // curl's largest receive buffer

}  // namespace

// The one place the state changes, with what entering each state brings.
void CurlTransfer::moveTo(State next) {
  const bool handleInMulti = attemptInProgress();
  state = next;
  switch (next) {
    case State::Requesting:
      // The request is out: the idle and speed watches start.
      attempt.lastActivity = g_get_monotonic_time();
      attempt.speedWindowStart = attempt.lastActivity;
      attempt.speedWindowBytes = transferredBytes;
      g_source_set_ready_time(deadlineSource.get(), attempt.lastActivity);
      break;
    case State::ResponseReceived:
    case State::BodyHeld:
      schedulePump();  // the delegate is to decide where the body goes
      break;
    case State::FindingProxy:
    case State::Redirecting:
    case State::Challenged:
    case State::Receiving:
      break;
    case State::Waiting: {
      gint64 readyTime = g_get_monotonic_time() + microseconds(retryPolicy.pauses.at(retries - 1));
      if (transferDeadline) readyTime = std::min(readyTime, *transferDeadline);
      g_source_set_ready_time(retrySource.get(), readyTime);
      break;
    }
    case State::Stopped:
      delegate = nullptr;
      if (handleInMulti) CurlLoop::shared().remove(easy.get());
      attempt.proxyLookup.reset();  // no answer is waited for any more
      destination.reset();  // what arrived before a failure or a cancel still reaches the file
      deadlineSource.reset();
      retrySource.reset();
      pumpSource.reset();
      decoder.reset();
      break;
  }
}

// ---------------------------------------------------------------------------------------------
// Attempts.

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

void CurlTransfer::curlDone(CURLcode code) {
  if (attemptInProgress()) CurlLoop::shared().remove(easy.get());
  attempt.result = code;
  schedulePump();
}

void CurlTransfer::noteFailure(Error failure, bool curable) {
  if (!attempt.failure) attempt.failure = Failure{std::move(failure), curable};
}

void CurlTransfer::failNow(Error failure, bool curable) {
  noteFailure(std::move(failure), curable);
  curlDone(CURLE_ABORTED_BY_CALLBACK);
}

void CurlTransfer::dispatchSource(GSource* source) {
  g_source_set_ready_time(source, -1);
  if (source == pumpSource.get()) {
    pump();
  } else if (source == retrySource.get()) {
    retry();
  } else {
    checkDeadlines(source);
  }
}

// ---------------------------------------------------------------------------------------------
// curl's callbacks.

size_t CurlTransfer::headerCallback(char* data, size_t size, size_t count, void* self) {
  auto* transfer = static_cast<CurlTransfer*>(self);
  const size_t length = size * count;
  transfer->attempt.lastActivity = g_get_monotonic_time();
  transfer->transferredBytes += length;
  if (HeaderLines::needed()) transfer->attempt.headerLines.add(std::string_view(data, length));
  // One call per line; the blank line ends a response's headers, which curl has stored by then.
  if (trimmed(std::string_view(data, length)).empty()) {
    transfer->headersComplete();
    if (transfer->attempt.failure) return 0;  // stops the transfer before any body is saved
    // The body of a redirect is not the resource: the attempt ends here, unread, so a server
    // cannot hold the transfer with it.
    if (transfer->state == State::Redirecting) return 0;
  }
  return length;
}

void CurlTransfer::headersComplete() {
  // Only the first answer of an attempt counts; a blank line after trailers is no new answer.
  // A proxy's 407 may be answered by libcurl within the attempt: the answer after it counts.
  if (state != State::Requesting && state != State::Challenged) return;
  ResponseHeaders headers =
      localFile ? readFileAnswer(currentUrl) : readResponseHeaders(easy.get(), attempt.headerLines);
  if (headers.status < 200) return;  // an interim answer; the real one follows
  if (headers.status == 407) return moveTo(State::Challenged);
  if (headers.status >= 400) {
    return noteFailure(errorForHttpStatus(headers.status, currentUrl),
                       RetryPolicy::mayCureStatus(headers.status));
  }
  if (!headers.isRedirect() && headers.contentLength >= 0 &&
      static_cast<std::uint64_t>(headers.contentLength) > limits.maxLength) {
    return noteFailure(tooLarge());
  }
  if (continuation && !headers.isRedirect()) return continuingAnswer(std::move(headers));
  received = std::move(headers);
  if (received.isRedirect()) return moveTo(State::Redirecting);
  moveTo(State::ResponseReceived);
}

size_t CurlTransfer::writeCallback(char* data, size_t size, size_t count, void* self) {
  auto* transfer = static_cast<CurlTransfer*>(self);
  const size_t length = size * count;
  transfer->attempt.lastActivity = g_get_monotonic_time();
  switch (transfer->state) {
    case State::Redirecting:
      return 0;  // never reached: the attempt ended with the redirect's headers
    case State::Challenged:
      // libcurl skips the body of a 407 it answers: this one it does not.
      transfer->noteFailure(errorForHttpStatus(407, transfer->currentUrl));
      return 0;
    case State::ResponseReceived:
    case State::BodyHeld:
      if (transfer->attempt.failure) return 0;
      // Hold the body until the delegate has chosen where it goes; curl keeps this chunk.
      transfer->moveTo(State::BodyHeld);
      return CURL_WRITEFUNC_PAUSE;
    case State::Receiving:
      return transfer->receiveBody(data, length) ? length : 0;
    case State::FindingProxy:
    case State::Requesting:
    case State::Waiting:
    case State::Stopped:
      break;
  }
  return 0;  // no body before the answer's headers
}

// Saves a piece of the body and counts it for the delegate.
bool CurlTransfer::receiveBody(const char* data, size_t length) {
  transferredBytes += length;
  if (!saveBody(reinterpret_cast<const unsigned char*>(data), length)) return false;
  bodyOffset += length;
  // A body begun again is not news to the delegate until it passes where the last one stopped.
  if (bodyOffset > reportedOffset) {
    undeliveredBytes += bodyOffset - reportedOffset;
    reportedOffset = bodyOffset;
    schedulePump();
  }
  return true;
}

bool CurlTransfer::saveBody(const unsigned char* data, size_t length) {
  using Result = GzipDecoder::Result;
  Result result = Result::Decoded;
  if (!decoder) {
    if (!saveDecoded(data, length)) result = Result::SinkFailed;
  } else {
    result = decoder->decode(data, length, [this](const unsigned char* bytes, size_t size) {
      return saveDecoded(bytes, size);
    });
  }
  if (result == Result::Decoded) return true;
  // The sink has said why it failed; else the decoder does.
  noteFailure(result == Result::BadData ? urlError(url_error::kCannotDecodeContentData,
                                                   "cannot decode raw data", currentUrl)
                                        : tooLarge());
  return false;
}

// Writes bytes of the body as saved, within the caller's maximum length.
bool CurlTransfer::saveDecoded(const unsigned char* data, size_t length) {
  if (length > limits.maxLength - savedLength) {
    noteFailure(tooLarge());
    return false;
  }
  if (!destination->write(data, length)) {
    noteFailure(urlError(url_error::kCannotWriteToFile, "cannot write file", currentUrl));
    return false;
  }
  savedLength += length;
  return true;
}

Error CurlTransfer::tooLarge() const {
  return urlError(url_error::kDataLengthExceedsMaximum, "resource exceeds maximum size",
                  currentUrl);
}

// ---------------------------------------------------------------------------------------------
// The pump: every delegate call is made from here, on the main loop.

void CurlTransfer::pump() {
  auto self = shared_from_this();  // a delegate call may drop the owner's reference
  if (stopped()) return;
  if ((state == State::ResponseReceived || state == State::BodyHeld) && !attempt.failure) {
    if (!deliverResponse()) return;
  }
  reportReceivedBytes();
  // A failed attempt stays concluded while the next one is waited for.
  if (attempt.result && !stopped() && state != State::Waiting) concludeAttempt();
}

UrlResponse CurlTransfer::response() const {
  UrlResponse answer;
  answer.url = currentUrl;
  answer.statusCode = received.status;
  answer.mimeType = received.mimeType;
  answer.expectedContentLength = received.contentLength;
  answer.suggestedFilename = suggestedFilename(received.contentDisposition, urlPath(currentUrl));
  return answer;
}

// Response, decoding question, destination; then the held body flows again. Returns false when
// the transfer ended meanwhile.
bool CurlTransfer::deliverResponse() {
  const UrlResponse answer = response();
  delegate->didReceiveResponse(*owner, answer);
  if (stopped()) return false;
  const bool decode = delegate->shouldDecodeSourceDataOfMIMEType(*owner, answer.mimeType);
  if (stopped()) return false;
  delegate->decideDestinationWithSuggestedFilename(*owner, answer.suggestedFilename);
  if (stopped()) return false;
  if (decode) {
    decoder = GzipDecoder::create();
    if (!decoder) {
      fail(urlError(url_error::kCannotDecodeContentData, "cannot decode raw data", currentUrl));
      return false;
    }
  }
  const bool held = state == State::BodyHeld;
  if (!createDestination()) return false;
  if (held && !attempt.result) resumeBody();
  return !stopped();
}

bool CurlTransfer::createDestination() {
  if (requestedDestination) {
    const auto& [path, allowOverwrite] = *requestedDestination;
    destination = DownloadDestination::create(path, allowOverwrite);
  }
  if (!destination) {
    fail(urlError(url_error::kCannotCreateFile, "cannot create file", currentUrl));
    return false;
  }
  continuation = Continuation::of(received);
  moveTo(State::Receiving);
  delegate->didCreateDestination(*owner, destination->path());
  return !stopped();
}

void CurlTransfer::resumeBody() {
  // curl may hand over the held body inside this call; a failure to save it ends the transfer
  // here, as curl would not report it.
  if (curl_easy_pause(easy.get(), CURLPAUSE_CONT) != CURLE_OK || attempt.failure) {
    failNow(urlError(url_error::kCannotWriteToFile, "cannot write file", currentUrl));
  }
}

void CurlTransfer::reportReceivedBytes() {
  while (undeliveredBytes > 0 && !stopped()) {
    const auto length =
        static_cast<std::uint32_t>(std::min<std::uint64_t>(undeliveredBytes, UINT32_MAX));
    undeliveredBytes -= length;
    delegate->didReceiveDataOfLength(*owner, length);
  }
}

// curl is done with the attempt: the transfer waits to try again, fails, follows a redirect, or
// finishes.
void CurlTransfer::concludeAttempt() {
  if (localFile && !readingLocalBody && *attempt.result == CURLE_OK && !attempt.failure) {
    headersComplete();  // the file's size, known now, is its answer
    if (!attempt.failure) return readLocalFile();
  }
  if (const std::optional<Failure> failure = attemptFailure()) {
    const bool again = retryPolicy.allowsRetry(retries, reportedOffset > 0, failure->curable);
    return again ? waitToRetry(failure->error) : fail(failure->error);
  }
  switch (state) {
    case State::Redirecting:
      return followRedirect();
    case State::Requesting:
      return fail(urlError(url_error::kBadServerResponse, "bad server response", currentUrl));
    case State::Challenged:
      return fail(errorForHttpStatus(407, currentUrl));
    case State::ResponseReceived:
    case State::BodyHeld:
      // An answer without a body still creates its (empty) file.
      if (!deliverResponse()) return;
      return finish();
    case State::Receiving:
      return finish();
    case State::FindingProxy:
    case State::Waiting:
    case State::Stopped:
      return;
  }
}

// curl cannot hold a file's body back until there is a destination, as it does a server's: the
// first attempt of a file: transfer asks only for the file's size. With the answer given and the
// destination made, the next attempt reads the body straight into it.
void CurlTransfer::readLocalFile() {
  // The pump may have given the answer already, when the size came as header lines.
  if (!destination && !deliverResponse()) return;
  readingLocalBody = true;
  attempt.result.reset();
  if (curl_easy_setopt(easy.get(), CURLOPT_NOBODY, 0L) != CURLE_OK ||
      !CurlLoop::shared().add(easy.get(), *this)) {
    attempt.result = CURLE_OK;  // not in the multi
    fail(urlError(url_error::kUnsupportedUrl, "unsupported URL", currentUrl));
  }
}

void CurlTransfer::followRedirect() {
  const std::optional<std::string> location =
      redirectUrl(easy.get(), attempt.headerLines, currentUrl);
  if (!location) {
    return fail(urlError(url_error::kBadServerResponse, "bad server response", currentUrl));
  }
  if (++redirects > kMaxRedirects) {
    return fail(urlError(url_error::kHttpTooManyRedirects, "too many HTTP redirects", currentUrl));
  }
  std::string next = delegate->willSendRequest(*owner, *location, response());
  if (stopped()) return;
  if (next.empty()) return fail(urlError(url_error::kCancelled, "cancelled", *location));
  if (!isHttpUrl(next)) return fail(urlError(url_error::kUnsupportedUrl, "unsupported URL", next));
  currentUrl = std::move(next);
  if (!beginAttempt()) {
    fail(urlError(url_error::kUnsupportedUrl, "unsupported URL", currentUrl));
  }
}

void CurlTransfer::finish() {
  if (decoder && !decoder->complete()) {
    return fail(
        urlError(url_error::kCannotDecodeContentData, "cannot decode raw data", currentUrl));
  }
  if (!destination->close()) {
    return fail(urlError(url_error::kCannotWriteToFile, "cannot write file", currentUrl));
  }
  UrlDownloadDelegate* target = delegate;
  UrlDownload* download = owner;
  moveTo(State::Stopped);
  target->downloadDidFinish(*download);
}

void CurlTransfer::fail(const Error& failure) {
  UrlDownloadDelegate* target = delegate;
  UrlDownload* download = owner;
  moveTo(State::Stopped);
  target->didFailWithError(*download, failure);
}

}  // namespace platform
