// UrlDownload: the transfers themselves are carried out by the embedded module "curl"
// (UrlDownloadCurl.cpp), loaded when the first transfer starts.
#include "platform/EmbeddedModule.h"
#include "platform/UrlTransfer.h"

ZANTH_EMBEDDED_MODULE(curl);

namespace platform {

namespace {

detail::StartUrlTransfer startFunction() {
  static const auto sStart = reinterpret_cast<detail::StartUrlTransfer>(
      detail::loadEmbeddedModule("zanth-curl", zanth_module_curl_begin, zanth_module_curl_end,
                                 detail::kStartUrlTransferEntry));
  return sStart;
}

}  // namespace

UrlDownload::UrlDownload(std::shared_ptr<Transfer> transfer) : transfer_(std::move(transfer)) {}

UrlDownload::~UrlDownload() { cancel(); }

std::unique_ptr<UrlDownload> UrlDownload::create(const std::string& url,
                                                 UrlDownloadDelegate& delegate) {
  const detail::StartUrlTransfer start = startFunction();
  if (!start) return nullptr;
  std::shared_ptr<Transfer> transfer;
  start(url, delegate, &transfer);
  if (!transfer) return nullptr;
  std::unique_ptr<UrlDownload> download(new UrlDownload(transfer));
  transfer->owner = download.get();
  return download;
}

void UrlDownload::cancel() {
  if (transfer_) transfer_->cancel();
}

void UrlDownload::setDestination(const std::string& path, bool allowOverwrite) {
  transfer_->setDestination(path, allowOverwrite);
}

const std::string& UrlDownload::url() const { return transfer_->url(); }

}  // namespace platform
