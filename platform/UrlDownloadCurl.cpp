// UrlDownload's transfers on libcurl: the entry of the module "curl" makes them (CurlTransfer).
#include <memory>
#include <string>

#include "platform/UrlTransfer.h"
#include "platform/curl/CurlLoop.h"
#include "platform/curl/CurlTransfer.h"
#include "platform/curl/CurlUrl.h"

// The module's entry (see platform/UrlTransfer.h).
extern "C" __attribute__((visibility("default"))) void zanth_start_url_transfer(
    const std::string& url, platform::UrlDownloadDelegate& delegate,
    std::shared_ptr<platform::UrlDownload::Transfer>* result) {
  using platform::CurlTransfer;
  result->reset();
  if (!platform::isHttpUrl(url)) return;
  platform::CurlLoop::shared();
  auto transfer = std::make_shared<CurlTransfer>();
  transfer->requestedUrl = url;
  transfer->currentUrl = url;
  transfer->delegate = &delegate;
  if (transfer->start()) *result = std::move(transfer);
}
