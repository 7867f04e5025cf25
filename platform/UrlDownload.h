#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string>

#include "platform/Error.h"

// GIO's proxy resolver, as the transfer's options name one (platform/curl/DesktopProxy.cpp asks
// it); the same declaration as GIO's own, whose name it must keep.
using GProxyResolver = struct _GProxyResolver;  // NOLINT(bugprone-reserved-identifier)

namespace platform {

// What a server answered for a transfer: the final response after any redirects.
struct UrlResponse {
  std::string url;       // the URL that gave this response
  long statusCode = 0;   // the HTTP status
  std::string mimeType;  // the Content-Type without parameters, exactly as sent; may be empty
  std::int64_t expectedContentLength = -1;  // the announced body length; -1 when none
  std::string suggestedFilename;  // a plain file name (never empty, no "/", not "." or "..")
};

class UrlDownload;

// How long a transfer waits on each thing it waits for. The defaults are the program's values;
// only tests choose others, to keep their waits short.
struct UrlDownloadDurations {
  std::chrono::milliseconds connect{std::chrono::seconds(30)};  // to set up the connection
  std::chrono::milliseconds idle{std::chrono::seconds(30)};     // with no byte arriving
  // A window in which fewer than 1 KiB per second of it arrives fails the transfer: a server
  // that trickles bytes to keep the connection open.
  std::chrono::milliseconds slowTransferWindow{std::chrono::seconds(60)};
  // The pauses before the attempts that continue a body that broke off, one per retry.
  std::array<std::chrono::milliseconds, 3> retryPauses{
      std::chrono::seconds(1), std::chrono::seconds(2), std::chrono::seconds(4)};
  // The longest wait for the desktop's proxy settings; the request then goes direct.
  std::chrono::milliseconds proxyLookup{std::chrono::seconds(10)};
};

// What a caller allows one download beyond the rules every transfer follows.
struct UrlDownloadLimits {
  // The most bytes the body may have as saved (decoded bytes when it is gunzipped). An announced
  // length over it fails the transfer before any file is created.
  std::uint64_t maxLength = std::numeric_limits<std::uint64_t>::max();
  // The most time the whole transfer may take, from create to its end; none for no such limit.
  std::optional<std::chrono::milliseconds> maxDuration;
  UrlDownloadDurations durations;
  // The resolver asked for the desktop's proxy when the environment names none; null for GIO's
  // default one. Not owned; it must outlive the transfer.
  GProxyResolver* proxyResolver = nullptr;
  // Whether the URL may be a file: URL naming a file on this machine, read as a download (a
  // local mirror). It is never redirected; the file stands as a 200 answer of its size, and a
  // missing or unreadable one fails as a 404 (url_error::kFileDoesNotExist).
  bool allowFileUrl = false;
};

// Receives the events of one UrlDownload. Every call arrives from the main loop, one at a time,
// never inside the call that created the transfer. A callback may destroy the download; no
// further callback follows then.
class UrlDownloadDelegate {
 public:
  virtual ~UrlDownloadDelegate() = default;

  // A redirect to url was answered with redirectResponse. Returns the URL to request next
  // (url to follow the redirect as proposed); an empty string stops the transfer, which then
  // fails as cancelled.
  virtual std::string willSendRequest(UrlDownload& download, const std::string& url,
                                      const UrlResponse& redirectResponse) = 0;
  // The final response has arrived (status below 400).
  virtual void didReceiveResponse(UrlDownload& download, const UrlResponse& response) = 0;
  // Whether the body, of the given MIME type, is to be gunzipped before it is saved.
  virtual bool shouldDecodeSourceDataOfMIMEType(UrlDownload& download,
                                                const std::string& mimeType) = 0;
  // The delegate calls download.setDestination here; without a destination the transfer fails
  // as "cannot create file".
  virtual void decideDestinationWithSuggestedFilename(UrlDownload& download,
                                                      const std::string& filename) = 0;
  // The destination file now exists at path (which may differ from the one asked for).
  virtual void didCreateDestination(UrlDownload& download, const std::string& path) = 0;
  // length more bytes of the body have been received (counted before decoding).
  virtual void didReceiveDataOfLength(UrlDownload& download, std::uint32_t length) = 0;
  // The whole body has been saved.
  virtual void downloadDidFinish(UrlDownload& download) = 0;
  // The transfer failed; error is in kUrlErrorDomain. A destination already created is left.
  virtual void didFailWithError(UrlDownload& download, const Error& error) = 0;
  // The transfer broke off with error after part of the body arrived, and is tried again after
  // a pause: this is retry number retry of at most retries. The download goes on as one: no
  // second response and no second destination follow, and the received lengths go on from
  // where they were. pause is how long the transfer waits before the next attempt.
  virtual void willRetryAfterError(UrlDownload& download, const Error& error, int retry,
                                   int retries, std::chrono::milliseconds pause) {
    (void)download, (void)error, (void)retry, (void)retries, (void)pause;
  }
  // The desktop's proxy settings for url gave no answer in time (reason says so): this attempt
  // goes direct. The transfer goes on.
  virtual void willIgnoreDesktopProxy(UrlDownload& download, const std::string& url,
                                      const std::string& reason) {
    (void)download, (void)url, (void)reason;
  }
};

// An asynchronous download of one http or https URL into a file, driven by the main loop.
// Redirects are followed (at most 20, http and https only; the body of a redirect is not read),
// proxies come from the environment, else from the desktop's settings (asked without blocking
// the main loop, for at most 10 s), nothing is cached, and the transfer fails as timed out when
// connecting takes 30 s, when no byte arrives for 30 s, or when fewer than 60 KiB arrive in
// 60 s (a server that trickles bytes to keep the connection open); these times, and the
// pauses below, are the defaults of the limits' durations. An HTTP status of 400 or above fails
// the transfer before any file is created. A body over the caller's maximum length, or a gzip
// body that inflates more than a thousandfold, fails as url_error::kDataLengthExceedsMaximum.
//
// A transfer that breaks off after part of the body arrived (the connection lost or reset, the
// server falling silent, an HTTP 5xx answer to a later attempt) is tried again up to 3 times,
// after 1, 2 and 4 s: from where it stopped (Range with If-Range) when the answer that began the
// body named a validator (ETag or Last-Modified) and did not say "Accept-Ranges: none", else
// from the start into the same file. A 200 answer to a ranged request starts the body over, and
// the validator of that answer is the one named from then on. A 4xx answer, a certificate failure,
// a cancel, and a transfer that never received any of its body are not tried again.
class UrlDownload {
 public:
  // Creates the transfer and starts it at once; the delegate must outlive it. Null when the
  // transfer cannot be made (not an http or https URL, nor a file: URL the limits allow, or the
  // transfer library refuses it).
  [[nodiscard]] static std::unique_ptr<UrlDownload> create(const std::string& url,
                                                           UrlDownloadDelegate& delegate,
                                                           const UrlDownloadLimits& limits = {});
  // Whether url is an address a download can be made for: http or https, parsed as transfers
  // parse it.
  static bool canHandleUrl(const std::string& url);
  // Cancels a transfer still in progress; no callback follows.
  ~UrlDownload();
  UrlDownload(const UrlDownload&) = delete;
  UrlDownload& operator=(const UrlDownload&) = delete;

  // Stops the transfer; no callback follows. A destination already created is left in place.
  void cancel();
  // Sets the file to save into; only meaningful inside decideDestinationWithSuggestedFilename.
  // The file is created exclusively and never through a symbolic link. When path is taken and
  // allowOverwrite is false, "<path>-1", "<path>-2", ... are tried instead; when it is true, a
  // file at path is removed first.
  void setDestination(const std::string& path, bool allowOverwrite);
  // The URL the transfer was created with.
  const std::string& url() const;

  struct Transfer;

 private:
  explicit UrlDownload(std::shared_ptr<Transfer> transfer);
  std::shared_ptr<Transfer> transfer_;
};

}  // namespace platform
