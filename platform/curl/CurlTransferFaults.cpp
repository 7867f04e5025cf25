// The transfer of one URL, continued: an attempt that falls silent, crawls or breaks off. The
// watches that fail a stalled attempt; then the failed attempt is judged (may it be tried
// again?), the pause before the next one is taken, and the next attempt asks for the rest of
// the body, or for all of it again into the same file.
#include <algorithm>
#include <cstdint>
#include <string>

#include "platform/curl/CurlTransfer.h"
#include "platform/curl/UrlErrors.h"

namespace platform {

namespace {

constexpr gint64 kIdleTimeoutMicroseconds = gint64{30} * G_USEC_PER_SEC;
// A transfer slower than 1 KiB/s on average over a whole window has failed: a server dripping a
// byte now and then would otherwise hold the program for ever without ever falling idle.
constexpr gint64 kSpeedWindowMicroseconds = gint64{60} * G_USEC_PER_SEC;
constexpr std::uint64_t kMinBytesPerSpeedWindow = std::uint64_t{60} * 1024;
// A body that broke off is tried again this many times.
constexpr int kMaxRetries = 3;

}  // namespace

// The watches on an attempt: nothing received for the idle time-out, too few bytes in a speed
// window, or the whole transfer's time used up fail it as timed out. They are checked only when
// one is due, so receiving costs no timer work.
void CurlTransfer::checkDeadlines(GSource* source) {
  if (!attemptInProgress()) return;
  const gint64 now = g_get_monotonic_time();
  if (state == State::BodyHeld) {
    // A body held for the delegate is neither the server's silence nor its slowness.
    lastActivity = now;
    speedWindowStart = now;
    speedWindowBytes = transferredBytes;
  }
  const bool idle = now >= lastActivity + kIdleTimeoutMicroseconds;
  const bool outOfTime = transferDeadline && now >= *transferDeadline;
  bool tooSlow = false;
  if (now >= speedWindowStart + kSpeedWindowMicroseconds) {
    tooSlow = transferredBytes - speedWindowBytes < kMinBytesPerSpeedWindow;
    speedWindowStart = now;
    speedWindowBytes = transferredBytes;
  }
  if (idle || tooSlow || outOfTime) {
    // Only silence may be a broken link that another attempt gets past; a server too slow, or
    // a transfer out of time, would only be slow again.
    return failNow(urlError(url_error::kTimedOut, "The request timed out.", currentUrl),
                   idle && !tooSlow && !outOfTime);
  }
  gint64 next = std::min(lastActivity + kIdleTimeoutMicroseconds,
                         speedWindowStart + kSpeedWindowMicroseconds);
  if (transferDeadline) next = std::min(next, *transferDeadline);
  g_source_set_ready_time(source, next);
}

// The final answer to an attempt that continues a body the delegate already has: the rest of it
// (206 from where it stopped), or all of it again (200: the server offers no ranges, or the
// resource changed since). Never a second response for the delegate.
void CurlTransfer::continuingAnswer(ResponseHeaders headers) {
  const bool rest = headers.status == 206 && headers.rangeStart &&
                    static_cast<std::uint64_t>(*headers.rangeStart) == bodyOffset;
  if (!rest && headers.status != 200) {
    error = urlError(url_error::kBadServerResponse, "bad server response", currentUrl);
    return;
  }
  if (!rest) {
    if (decoder) {
      decoder = GzipDecoder::create();  // the whole body again: a new gzip stream
      if (!decoder) {
        error = urlError(url_error::kCannotDecodeContentData, "cannot decode raw data", currentUrl);
        return;
      }
    }
    if (!destination->rewind()) {
      error = urlError(url_error::kCannotWriteToFile, "cannot write file", currentUrl);
      return;
    }
    bodyOffset = 0;
    savedLength = 0;
  }
  moveTo(State::Receiving);
}

// Why the attempt failed; none when it succeeded.
std::optional<Error> CurlTransfer::attemptFailure() const {
  if (error) return error;
  // A redirect's attempt is ended by the header callback once its headers are in: no failure.
  if (*attemptResult == CURLE_OK || state == State::Redirecting) return std::nullopt;
  // A proxy that refused the tunnel to an https server gave an answer: it counts as one.
  long tunnelStatus = 0;
  if (curl_easy_getinfo(easy.get(), CURLINFO_HTTP_CONNECTCODE, &tunnelStatus) == CURLE_OK &&
      tunnelStatus >= 400) {
    return errorForHttpStatus(tunnelStatus, currentUrl);
  }
  return errorForCurlCode(*attemptResult, currentUrl);
}

// Whether another attempt may continue the body after failure: only once part of the body has
// arrived (a server that never sent any is down, not interrupted), only for a link that broke
// or a server in trouble, and only so many times.
bool CurlTransfer::mayRetry(const Error& failure) const {
  if (retries >= kMaxRetries || reportedOffset == 0) return false;
  if (error) return errorRetryable;
  return failure.code == url_error::kNetworkConnectionLost ||
         failure.code == url_error::kCannotConnectToHost || failure.code == url_error::kTimedOut;
}

void CurlTransfer::waitToRetry(const Error& failure) {
  ++retries;
  delegate->willRetryAfterError(*owner, failure, retries, kMaxRetries,
                                std::chrono::milliseconds(1000 << (retries - 1)));
  if (!stopped()) moveTo(State::Waiting);
}

// The pause is over: the attempt that continues the body, unless the transfer's time is up.
void CurlTransfer::retry() {
  if (state != State::Waiting) return;
  auto self = shared_from_this();  // fail calls the delegate
  if (transferDeadline && g_get_monotonic_time() >= *transferDeadline) {
    return fail(urlError(url_error::kTimedOut, "The request timed out.", currentUrl));
  }
  if (!setContinuation() || !beginAttempt()) {
    fail(urlError(url_error::kCannotConnectToHost, "Could not connect to the server.", currentUrl));
  }
}

// Asks for the rest of the body (RFC 9110 14.2, 13.1.5): "Range: bytes=<offset>-" with If-Range
// naming the version received, so a changed resource comes whole instead of as a piece of
// another version. Without ranges on offer, the whole body is asked for again.
bool CurlTransfer::setContinuation() {
  CURL* handle = easy.get();
  if (!rangesOffered || bodyOffset == 0) {
    return curl_easy_setopt(handle, CURLOPT_RANGE, nullptr) == CURLE_OK &&
           curl_easy_setopt(handle, CURLOPT_HTTPHEADER, requestHeaders.get()) == CURLE_OK;
  }
  continuationHeaders.reset();
  for (const curl_slist* item = requestHeaders.get(); item; item = item->next) {
    curl_slist* list = curl_slist_append(continuationHeaders.get(), item->data);
    if (!list) return false;
    if (!continuationHeaders) continuationHeaders.reset(list);
  }
  const std::string condition = "If-Range: " + validator;
  curl_slist* list = curl_slist_append(continuationHeaders.get(), condition.c_str());
  if (!list) return false;
  if (!continuationHeaders) continuationHeaders.reset(list);
  continuationRange = std::to_string(bodyOffset) + "-";
  return curl_easy_setopt(handle, CURLOPT_RANGE, continuationRange.c_str()) == CURLE_OK &&
         curl_easy_setopt(handle, CURLOPT_HTTPHEADER, continuationHeaders.get()) == CURLE_OK;
}

}  // namespace platform
