// UrlDownload's transfers on libcurl (CurlTransfer).
#include <memory>
#include <string>

#include "platform/UrlTransfer.h"
#include "platform/curl/CurlLoop.h"
#include "platform/curl/CurlTransfer.h"
#include "platform/curl/CurlUrl.h"

namespace platform {

bool UrlDownload::canHandleUrl(const std::string& url) { return isHttpUrl(url); }

std::shared_ptr<UrlDownload::Transfer> detail::startUrlTransfer(const std::string& url,
                                                                UrlDownloadDelegate& delegate,
                                                                const UrlDownloadLimits& limits) {
  if (transferProtocols(url, limits.allowFileUrl).empty()) return nullptr;
  CurlLoop::shared();
  auto transfer = std::make_shared<CurlTransfer>();
  transfer->requestedUrl = url;
  transfer->currentUrl = url;
  transfer->delegate = &delegate;
  transfer->limits = limits;
  transfer->localFile = transferProtocols(url, limits.allowFileUrl) == "file";
  if (!transfer->start()) return nullptr;
  return transfer;
}

}  // namespace platform
