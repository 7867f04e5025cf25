#pragma once

// The link between UrlDownload and the transfers that carry it out (UrlDownloadCurl.cpp, on
// libcurl). Internal to the platform layer.

#include <memory>
#include <string>

#include "platform/UrlDownload.h"

namespace platform {

// One transfer, as its UrlDownload sees it.
struct UrlDownload::Transfer {
  virtual ~Transfer() = default;
  // Stops the transfer; no delegate call follows.
  virtual void cancel() = 0;
  // See UrlDownload::setDestination.
  virtual void setDestination(const std::string& path, bool allowOverwrite) = 0;
  // The URL the transfer was created with.
  virtual const std::string& url() const = 0;

  // The download named in delegate calls: set right after the transfer starts (no delegate call
  // comes before the main loop runs), null once cancelled.
  UrlDownload* owner = nullptr;
};

namespace detail {

// Starts a transfer of url within limits reporting to delegate; null when it cannot be made
// (not an http or https URL, or the transfer library refuses it).
std::shared_ptr<UrlDownload::Transfer> startUrlTransfer(const std::string& url,
                                                        UrlDownloadDelegate& delegate,
                                                        const UrlDownloadLimits& limits);

}  // namespace detail

}  // namespace platform
