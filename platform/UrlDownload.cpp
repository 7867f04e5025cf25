// UrlDownload: the transfers themselves are carried out by UrlDownloadCurl.cpp.
#include "platform/UrlTransfer.h"

namespace platform {

UrlDownload::UrlDownload(std::shared_ptr<Transfer> transfer) : transfer_(std::move(transfer)) {}

UrlDownload::~UrlDownload() { cancel(); }

std::unique_ptr<UrlDownload> UrlDownload::create(const std::string& url,
                                                 UrlDownloadDelegate& delegate,
                                                 const UrlDownloadLimits& limits) {
  std::shared_ptr<Transfer> transfer = detail::startUrlTransfer(url, delegate, limits);
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
