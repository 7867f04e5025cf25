#pragma once

// One URL transfer on libcurl, driven by the main loop: the UrlDownload::Transfer that
// detail::startUrlTransfer (UrlDownloadCurl.cpp) makes. CurlTransfer.cpp holds its attempts,
// callbacks and delegate calls; CurlTransferFaults.cpp what follows when an attempt stalls or
// breaks off.

#include <curl/curl.h>
#include <glib.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "platform/DownloadDestination.h"
#include "platform/GzipDecoder.h"
#include "platform/UrlTransfer.h"
#include "platform/curl/CurlHandles.h"
#include "platform/curl/CurlLoop.h"
#include "platform/curl/OwnedSource.h"
#include "platform/curl/ResponseHeaders.h"

namespace platform {

// One transfer. Owned by its UrlDownload and, while a delegate call runs, by that call too.
//
// A transfer is made of attempts: one request and its answer on the easy handle. A redirect
// the delegate accepts begins the next attempt at the new URL; an attempt that broke off after
// part of the body arrived is followed, after a pause, by one that continues the body. An
// attempt is in progress from beginAttempt until curl is done with it (curlDone, or failNow);
// the pump then concludes it.
struct CurlTransfer final : UrlDownload::Transfer,
                            CurlLoop::Client,
                            std::enable_shared_from_this<CurlTransfer> {
  // Where the transfer stands. Every change goes through moveTo:
  //   Stopped          -> Requesting        the first attempt is out (start)
  //   Requesting       -> Redirecting       the headers of a redirect arrived
  //   Requesting       -> Challenged        a proxy asked for credentials (407)
  //   Challenged       -> (as Requesting)   libcurl answered the 407 and the next answer came
  //   Requesting       -> ResponseReceived  the headers of the final answer arrived
  //   ResponseReceived -> BodyHeld          its body began before there is a destination
  //   ResponseReceived,
  //   BodyHeld         -> Receiving         the delegate has the response; the file exists
  //   Redirecting      -> Requesting        the delegate accepted the redirect: the next attempt
  //   Requesting,
  //   Receiving        -> Waiting           the attempt broke off after part of the body arrived
  //   Waiting          -> Requesting        the pause is over: the attempt that continues it
  //   Requesting       -> Receiving         the final answer to such an attempt arrived
  //   any              -> Stopped           the end was reported, or the transfer cancelled
  enum class State {
    Stopped,           // not started, ended or cancelled: no delegate call follows
    Requesting,        // an attempt is out and no final answer has come (1xx answers are skipped)
    Redirecting,       // a redirect answered; the attempt ends with its headers
    Challenged,        // a proxy answered 407: curl asks again with credentials, or the refusal
                       // stands (its body comes, or the attempt ends) and fails the transfer
    ResponseReceived,  // the final answer arrived; the next pump gives it to the delegate
    BodyHeld,          // ... and its body has begun: curl holds it (paused) until there is a file
    Receiving,         // the destination exists; the body is saved as it arrives
    Waiting,           // the pause before the next attempt to continue the body
  };

  ~CurlTransfer() override { moveTo(State::Stopped); }

  // Sets the options every attempt shares and begins the first attempt; false when curl refuses.
  [[nodiscard]] bool start();
  void cancel() override {
    owner = nullptr;
    moveTo(State::Stopped);
  }
  void setDestination(const std::string& path, bool allowOverwrite) override {
    requestedDestination.emplace(path, allowOverwrite);
  }
  const std::string& url() const override { return requestedUrl; }
  void dispatchSource(GSource* source);

  UrlDownloadDelegate* delegate = nullptr;  // null once Stopped
  UrlDownloadLimits limits;
  std::string requestedUrl;
  std::string currentUrl;  // the URL of the current attempt
  // A file: transfer (the limits allow it): a first attempt learns the file's size, which is
  // its answer; a second reads the body (readLocalFile).
  bool localFile = false;
  bool readingLocalBody = false;  // the attempt that reads a local file's body is out

 private:
  void moveTo(State next);
  bool stopped() const { return state == State::Stopped; }
  // From beginAttempt until curl is done with the attempt: the easy handle is in the multi.
  bool attemptInProgress() const { return !stopped() && !attemptResult; }
  [[nodiscard]] bool setSharedOptions();
  [[nodiscard]] bool beginAttempt();

  // curl callbacks: they record and save, never call the delegate.
  static size_t headerCallback(char* data, size_t size, size_t count, void* transfer);
  static size_t writeCallback(char* data, size_t size, size_t count, void* transfer);
  void headersComplete();
  void continuingAnswer(ResponseHeaders headers);
  [[nodiscard]] bool receiveBody(const char* data, size_t length);
  [[nodiscard]] bool saveBody(const unsigned char* data, size_t length);
  void curlDone(CURLcode code) override;
  void failNow(Error failure, bool retryable = false);
  void checkDeadlines(GSource* source);
  [[nodiscard]] bool saveDecoded(const unsigned char* data, size_t length);
  Error tooLarge() const;

  // Delegate steps, from the pump.
  void pump();
  [[nodiscard]] bool deliverResponse();
  [[nodiscard]] bool createDestination();
  void resumeBody();
  void reportReceivedBytes();
  void concludeAttempt();
  [[nodiscard]] std::optional<Error> attemptFailure() const;
  [[nodiscard]] bool mayRetry(const Error& failure) const;
  void waitToRetry(const Error& failure);
  void retry();
  [[nodiscard]] bool setContinuation();
  void readLocalFile();
  void followRedirect();
  void finish();
  void fail(const Error& failure);
  UrlResponse response() const;
  void schedulePump() { g_source_set_ready_time(pumpSource.get(), 0); }

  State state = State::Stopped;
  int redirects = 0;
  CurlSlistPtr requestHeaders;  // outlives the handle that uses it
  CurlEasyPtr easy;
  SourcePtr pumpSource;
  SourcePtr deadlineSource;  // fires when the idle, speed or whole-transfer deadline is due
  SourcePtr retrySource;     // fires when the pause before the next attempt is over
  gint64 lastActivity = 0;
  std::optional<gint64> transferDeadline;  // from limits.maxDuration
  // The speed watch: bytes received in all (headers and body), and the start of the current
  // window with the count at that time.
  std::uint64_t transferredBytes = 0;
  gint64 speedWindowStart = 0;
  std::uint64_t speedWindowBytes = 0;
  // curl's result for the latest attempt, once curl is done with it; none while it runs.
  std::optional<CURLcode> attemptResult;
  std::optional<Error> error;   // a failure found while receiving; reported before anything else
  bool errorRetryable = false;  // whether error may be cured by another attempt
  int retries = 0;              // attempts made to continue the body so far

  // What continuing the body needs: the final answer's validator and offer of ranges, and the
  // request headers and range of the attempt that continues it (outliving the handle's use).
  std::string validator;
  bool rangesOffered = false;
  CurlSlistPtr continuationHeaders;
  std::string continuationRange;

  // The response being received, and where its body goes.
  ResponseHeaders received;
  HeaderLines headerLines;  // kept only where libcurl cannot answer for the headers itself
  std::optional<std::pair<std::string, bool>> requestedDestination;
  std::optional<GzipDecoder> decoder;  // when the delegate asked for decoding
  std::optional<DownloadDestination> destination;
  std::uint64_t savedLength = 0;       // bytes written to the destination (decoded when decoding)
  std::uint64_t bodyOffset = 0;        // bytes of the body as sent saved so far: where it goes on
  std::uint64_t reportedOffset = 0;    // the furthest bodyOffset the delegate has been told of
  std::uint64_t undeliveredBytes = 0;  // saved, not yet reported to the delegate
};

}  // namespace platform
