#pragma once

// One URL transfer on libcurl, driven by the main loop: the UrlDownload::Transfer that
// detail::startUrlTransfer (UrlDownloadCurl.cpp) makes. CurlTransferAttempts.cpp makes its
// attempts (options, proxy, request); CurlTransfer.cpp holds its states, callbacks and delegate
// calls; CurlTransferFaults.cpp what follows when an attempt stalls or breaks off.

#include <curl/curl.h>
#include <glib.h>

#include <array>
#include <chrono>
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
#include "platform/curl/DesktopProxy.h"
#include "platform/curl/OwnedSource.h"
#include "platform/curl/ResponseHeaders.h"

namespace platform {

// How a body that broke off is tried again: how often, after which pauses, and which failures
// another attempt may cure. No other code decides a retry.
struct RetryPolicy {
  std::array<std::chrono::milliseconds, 3> pauses{};  // before each retry, in order

  int maxRetries() const { return static_cast<int>(pauses.size()); }
  // An HTTP error status: the server's own trouble (5xx) may pass.
  static bool mayCureStatus(long status) { return status >= 500; }
  // A watch's time-out: silence may be a broken link that another attempt gets past; a server
  // too slow, or a transfer out of time, would only be so again.
  static bool mayCureTimeOut(bool idle, bool tooSlow, bool outOfTime) {
    return idle && !tooSlow && !outOfTime;
  }
  // The error curl ended an attempt with: a connection lost, refused or timed out.
  static bool mayCureLibraryError(const Error& error);
  // Whether another attempt follows a failure another attempt may (curable) or may not cure,
  // after retriesSoFar retries: only once part of the body has arrived (a server that never
  // sent any is down, not interrupted), and only so many times.
  bool allowsRetry(int retriesSoFar, bool bodyArrived, bool curable) const {
    return curable && bodyArrived && retriesSoFar < maxRetries();
  }
};

// One transfer. Owned by its UrlDownload and, while a delegate call runs, by that call too.
//
// A transfer is made of attempts: one request and its answer on the easy handle. A redirect
// the delegate accepts begins the next attempt at the new URL; an attempt that broke off after
// part of the body arrived is followed, after a pause, by one that continues the body. An
// attempt may first wait for the desktop's proxy; it is in progress from its request until curl
// is done with it (curlDone, or failNow); the pump then concludes it.
struct CurlTransfer final : UrlDownload::Transfer,
                            CurlLoop::Client,
                            std::enable_shared_from_this<CurlTransfer> {
  // Where the transfer stands. Every change goes through moveTo:
  //   Stopped,
  //   Redirecting,
  //   Waiting          -> FindingProxy      an attempt begins and asks the desktop's proxy
  //   FindingProxy     -> Requesting        the proxy is known (or given up): the request is out
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
    FindingProxy,      // an attempt waits for the desktop's proxy; its request is not out yet
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
  // A failure an attempt met, and whether another attempt may cure it.
  struct Failure {
    Error error;
    bool curable = false;
  };

  // What belongs to one attempt. beginAttempt makes it afresh, so nothing of an attempt that
  // broke off (its failure, its result, its watches) reaches the next.
  struct Attempt {
    std::optional<CURLcode> result;  // curl's, once curl is done with the attempt
    std::optional<Failure> failure;  // found while receiving; reported before anything else
    HeaderLines headerLines;         // kept only where libcurl cannot answer for the headers itself
    // The watches: the latest byte, and the start of the current speed window with the
    // transfer's count of bytes at that time.
    gint64 lastActivity = 0;
    gint64 speedWindowStart = 0;
    std::uint64_t speedWindowBytes = 0;
    // The request headers and range of an attempt that asks for the rest of the body, for as
    // long as curl uses them.
    CurlSlistPtr rangeHeaders;
    std::string range;
    std::unique_ptr<DesktopProxyLookup> proxyLookup;  // from FindingProxy on
  };

  // What continuing the body asks for, from the answer that began it: the first final answer,
  // or a 200 answer to a later attempt (the body starting over), which replaces it.
  struct Continuation {
    // The validator a ranged request names in If-Range; none when the answer named none or
    // said "Accept-Ranges: none": the body is then asked for whole again.
    std::optional<std::string> ifRange;

    static Continuation of(const ResponseHeaders& answer);
  };

  void moveTo(State next);
  bool stopped() const { return state == State::Stopped; }
  // From the attempt's request until curl is done with it: the easy handle is in the multi.
  bool attemptInProgress() const {
    return !stopped() && state != State::FindingProxy && !attempt.result;
  }
  [[nodiscard]] bool setSharedOptions();
  // Makes the next attempt at currentUrl and sends its request, once its proxy is known.
  [[nodiscard]] bool beginAttempt();
  [[nodiscard]] bool setRange();
  void proxyFound(const std::string& proxy, bool timedOut);
  [[nodiscard]] bool sendRequest();

  // curl callbacks: they record and save, never call the delegate.
  static size_t headerCallback(char* data, size_t size, size_t count, void* transfer);
  static size_t writeCallback(char* data, size_t size, size_t count, void* transfer);
  void headersComplete();
  void continuingAnswer(ResponseHeaders headers);
  [[nodiscard]] bool receiveBody(const char* data, size_t length);
  [[nodiscard]] bool saveBody(const unsigned char* data, size_t length);
  void curlDone(CURLcode code) override;
  // Records failure unless the attempt already has one (the first is the cause).
  void noteFailure(Error failure, bool curable = false);
  void failNow(Error failure, bool curable = false);
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
  [[nodiscard]] std::optional<Failure> attemptFailure() const;
  void waitToRetry(const Error& failure);
  void retry();
  void readLocalFile();
  void followRedirect();
  void finish();
  void fail(const Error& failure);
  UrlResponse response() const;
  void schedulePump() { g_source_set_ready_time(pumpSource.get(), 0); }
  static gint64 microseconds(std::chrono::milliseconds duration) {
    return std::chrono::duration_cast<std::chrono::microseconds>(duration).count();
  }

  State state = State::Stopped;
  RetryPolicy retryPolicy;  // from limits
  int redirects = 0;
  int retries = 0;              // attempts made to continue the body so far
  CurlSlistPtr requestHeaders;  // outlives the handle that uses it
  CurlEasyPtr easy;
  SourcePtr pumpSource;
  SourcePtr deadlineSource;  // fires when the idle, speed or whole-transfer deadline is due
  SourcePtr retrySource;     // fires when the pause before the next attempt is over
  std::optional<gint64> transferDeadline;  // from limits.maxDuration
  std::uint64_t transferredBytes = 0;      // received in all, headers and body
  Attempt attempt;

  // The final answer the delegate was given, and where its body goes.
  ResponseHeaders received;
  std::optional<std::pair<std::string, bool>> requestedDestination;
  std::optional<GzipDecoder> decoder;  // when the delegate asked for decoding
  std::optional<DownloadDestination> destination;
  std::optional<Continuation> continuation;  // once the body goes to the destination
  std::uint64_t savedLength = 0;       // bytes written to the destination (decoded when decoding)
  std::uint64_t bodyOffset = 0;        // bytes of the body as sent saved so far: where it goes on
  std::uint64_t reportedOffset = 0;    // the furthest bodyOffset the delegate has been told of
  std::uint64_t undeliveredBytes = 0;  // saved, not yet reported to the delegate
};

}  // namespace platform
