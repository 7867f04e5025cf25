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
#include "platform/curl/UrlErrors.h"

namespace platform {

namespace {

constexpr int kMaxRedirects = 20;

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
