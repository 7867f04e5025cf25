// The transfer of one URL, continued: an attempt that falls silent, crawls or breaks off. The
// watches that fail a stalled attempt; then the failed attempt is judged (may it be tried
// again?), the pause before the next one is taken, and the next attempt asks for the rest of
// the body, or for all of it again into the same file.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "platform/curl/CurlTransfer.h"
#include "platform/curl/UrlErrors.h"

namespace platform {

namespace {

// A transfer slower than 1 KiB/s on average over a whole window has failed: a server dripping a
// byte now and then would otherwise hold the program for ever without ever falling idle.
constexpr std::uint64_t kMinBytesPerSecond = 1024;

}  // namespace

// The watches on an attempt: nothing received for the idle time-out, too few bytes in a speed
// window, or the whole transfer's time used up fail it as timed out. They are checked only when
// one is due, so receiving costs no timer work. curl's own low-speed options are not used: they
// end silence and slowness alike with one code, and only silence may be tried again.
void CurlTransfer::checkDeadlines(GSource* source) {
  if (!attemptInProgress()) return;
  const gint64 now = g_get_monotonic_time();
  const gint64 idleTime = microseconds(limits.durations.idle);
  const gint64 window = microseconds(limits.durations.slowTransferWindow);
  if (state == State::BodyHeld) {
    // A body held for the delegate is neither the server's silence nor its slowness.
    attempt.lastActivity = now;
    attempt.speedWindowStart = now;
    attempt.speedWindowBytes = transferredBytes;
  }
  const bool idle = now >= attempt.lastActivity + idleTime;
  const bool outOfTime = transferDeadline && now >= *transferDeadline;
  bool tooSlow = false;
  if (now >= attempt.speedWindowStart + window) {
    const auto minBytes = static_cast<std::uint64_t>(window) * kMinBytesPerSecond / G_USEC_PER_SEC;
    tooSlow = transferredBytes - attempt.speedWindowBytes < minBytes;
    attempt.speedWindowStart = now;
    attempt.speedWindowBytes = transferredBytes;
  }
  if (idle || tooSlow || outOfTime) {
    return failNow(urlError(url_error::kTimedOut, "The request timed out.", currentUrl),
                   RetryPolicy::mayCureTimeOut(idle, tooSlow, outOfTime));
  }
  gint64 next = std::min(attempt.lastActivity + idleTime, attempt.speedWindowStart + window);
  if (transferDeadline) next = std::min(next, *transferDeadline);
  g_source_set_ready_time(source, next);
}

CurlTransfer::Continuation CurlTransfer::Continuation::of(const ResponseHeaders& answer) {
  // Accept-Ranges is advice (RFC 9110 14.3): a server that does not name it may still serve a
  // range, and If-Range makes a changed resource come whole. Only "none" is heeded.
  if (answer.validator.empty() || answer.refusesRanges) return {};
  return Continuation{answer.validator};
}

// The final answer to an attempt that continues a body the delegate already has: the rest of it
// (206 from where it stopped), or all of it again (200: the server ignored the range, or the
// resource changed since), which then says how a later attempt continues. Never a second
// response for the delegate.
void CurlTransfer::continuingAnswer(ResponseHeaders headers) {
  const bool rest = headers.status == 206 && headers.rangeStart &&
                    static_cast<std::uint64_t>(*headers.rangeStart) == bodyOffset;
  if (!rest && headers.status != 200) {
    return noteFailure(urlError(url_error::kBadServerResponse, "bad server response", currentUrl));
  }
  if (!rest) {
    if (decoder) {
      decoder = GzipDecoder::create();  // the whole body again: a new gzip stream
      if (!decoder) {
        return noteFailure(
            urlError(url_error::kCannotDecodeContentData, "cannot decode raw data", currentUrl));
      }
    }
    if (!destination->rewind()) {
      return noteFailure(urlError(url_error::kCannotWriteToFile, "cannot write file", currentUrl));
    }
    bodyOffset = 0;
    savedLength = 0;
    continuation = Continuation::of(headers);
  }
  moveTo(State::Receiving);
}

// Why the attempt failed, and whether another attempt may cure it; none when it succeeded.
std::optional<CurlTransfer::Failure> CurlTransfer::attemptFailure() const {
  if (attempt.failure) return attempt.failure;
  // A redirect's attempt is ended by the header callback once its headers are in: no failure.
  if (*attempt.result == CURLE_OK || state == State::Redirecting) return std::nullopt;
  // A proxy that refused the tunnel to an https server gave an answer: it counts as one.
  long tunnelStatus = 0;
  if (curl_easy_getinfo(easy.get(), CURLINFO_HTTP_CONNECTCODE, &tunnelStatus) == CURLE_OK &&
      tunnelStatus >= 400) {
    return Failure{errorForHttpStatus(tunnelStatus, currentUrl), false};
  }
  Error error = errorForCurlCode(*attempt.result, currentUrl);
  const bool curable = RetryPolicy::mayCureLibraryError(error);
  return Failure{std::move(error), curable};
}

bool RetryPolicy::mayCureLibraryError(const Error& error) {
  return error.code == url_error::kNetworkConnectionLost ||
         error.code == url_error::kCannotConnectToHost || error.code == url_error::kTimedOut;
}

void CurlTransfer::waitToRetry(const Error& failure) {
  ++retries;
  delegate->willRetryAfterError(*owner, failure, retries, retryPolicy.maxRetries(),
                                retryPolicy.pauses.at(retries - 1));
  if (!stopped()) moveTo(State::Waiting);
}

// The pause is over: the attempt that continues the body, unless the transfer's time is up.
void CurlTransfer::retry() {
  if (state != State::Waiting) return;
  auto self = shared_from_this();  // fail calls the delegate
  if (transferDeadline && g_get_monotonic_time() >= *transferDeadline) {
    return fail(urlError(url_error::kTimedOut, "The request timed out.", currentUrl));
  }
  if (!beginAttempt()) {
    fail(urlError(url_error::kCannotConnectToHost, "Could not connect to the server.", currentUrl));
  }
}

// An attempt that continues the body asks for the rest of it (RFC 9110 14.2, 13.1.5):
// "Range: bytes=<offset>-" with If-Range naming the version received, so a changed resource
// comes whole instead of as a piece of another version. Without a validator to name, or before
// any of the body, it asks for the whole body.
bool CurlTransfer::setRange() {
  CURL* handle = easy.get();
  if (!continuation || !continuation->ifRange || bodyOffset == 0) {
    return curl_easy_setopt(handle, CURLOPT_RANGE, nullptr) == CURLE_OK &&
           curl_easy_setopt(handle, CURLOPT_HTTPHEADER, requestHeaders.get()) == CURLE_OK;
  }
  for (const curl_slist* item = requestHeaders.get(); item; item = item->next) {
    curl_slist* list = curl_slist_append(attempt.rangeHeaders.get(), item->data);
    if (!list) return false;
    if (!attempt.rangeHeaders) attempt.rangeHeaders.reset(list);
  }
  const std::string condition = "If-Range: " + *continuation->ifRange;
  curl_slist* list = curl_slist_append(attempt.rangeHeaders.get(), condition.c_str());
  if (!list) return false;
  if (!attempt.rangeHeaders) attempt.rangeHeaders.reset(list);
  attempt.range = std::to_string(bodyOffset) + "-";
  return curl_easy_setopt(handle, CURLOPT_RANGE, attempt.range.c_str()) == CURLE_OK &&
         curl_easy_setopt(handle, CURLOPT_HTTPHEADER, attempt.rangeHeaders.get()) == CURLE_OK;
}

}  // namespace platform
