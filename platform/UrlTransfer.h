#pragma once

// The link between UrlDownload and the module that carries out its transfers (UrlDownloadCurl.cpp,
// built as the embedded module "curl", so that libcurl and its libraries are loaded only by a
// run that downloads). Internal to the platform layer.

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

// The module's entry: starts a transfer of url reporting to delegate and stores it in *transfer;
// stores null when it cannot be made (not an http or https URL, or the transfer library refuses
// it). The transfer is handed back through a pointer because the entry has C linkage.
using StartUrlTransfer = void (*)(const std::string& url, UrlDownloadDelegate& delegate,
                                  std::shared_ptr<UrlDownload::Transfer>* transfer);
inline constexpr const char* kStartUrlTransferEntry = "zanth_start_url_transfer";

}  // namespace detail

}  // namespace platform
