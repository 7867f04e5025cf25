#include "download/Downloader.h"

#include <algorithm>

#include "BuildConfig.h"
#include "libinstall/DebugTrace.h"
#include "libinstall/InstallLogMsgs.h"
#include "platform/Notification.h"
#include "platform/NotificationQueue.h"
#include "platform/Path.h"
#include "platform/SearchPaths.h"
#include "platform/UrlAddress.h"

namespace {

// The size the path lists are first made for; runs fetch a handful of files.
constexpr std::size_t kInitialPathCapacity = 10;
// The bar stays still until a file has sent this many bytes.
constexpr std::int64_t kProgressThreshold = 16384;

}  // namespace

Downloader::Downloader() {
  setCurrentProgressPercent(0.0);
  resultPaths_.reserve(kInitialPathCapacity);
  cleanupPaths_.reserve(kInitialPathCapacity);
}

// The transfer (if any) is cancelled by its destructor before the delegate goes away.
Downloader::~Downloader() = default;

void Downloader::setUrlStrings(std::vector<std::string> urls) {
  urlStrings_ = std::move(urls);
  currentUrlIndex_ = 0;
  resultPaths_.clear();
}

void Downloader::setRuntimeArgs(const std::vector<std::string>* args) {
  runtimeArgs_ = args ? *args : std::vector<std::string>();
}

void Downloader::setCurrentProgressPercent(double percent) {
  currentProgressPercent_ = percent;
  if (progressBar_) progressBar_->setDoubleValue(percent);
}

void Downloader::setProgressBar(platform::ui::ProgressIndicator* bar) {
  progressBar_ = bar;
  if (progressBar_) progressBar_->setDoubleValue(currentProgressPercent_);
}

void Downloader::setProgressWindow(platform::ui::Window* window) {
  progressWindow_ = window;
  if (!progressWindow_) return;
  // Closing the window is the person's Cancel; only hiding it would let the run go on unseen.
  progressWindow_->setCloseAction([this] {
    if (urlDownload_) {
      stopDownLoad();
    } else {
      progressWindow_->close();
    }
  });
}

void Downloader::setCancelButton(platform::ui::Button* button) {
  cancelButton_ = button;
  if (cancelButton_) cancelButton_->setAction([this] { stopDownLoad(); });
}

void Downloader::startDownload(const std::string& notificationName) {
  const std::string url = urlStrings_.at(currentUrlIndex_);
  DebugTrace("Info: URL is %s", url.c_str());
  resetProgress();

  // A mirror's address may carry a user name and password: the log gets neither.
  const std::string logged = platform::addressForLog(url);
  if (notificationName == INSTALLER_DOWNLOAD_NOTIFY_DONE) {
    install::logDownloadBegin(currentUrlIndex_ == 0 ? "runtime" : "signature", logged.c_str());
  } else if (notificationName == CRL_DOWNLOAD_NOTIFY_DONE) {
    install::logDownloadBegin("crl", logged.c_str());
  }

  urlDownload_.reset();
  currentPath_.reset();
  notificationName_ = notificationName;
  // The private folder is made before the first request: a machine whose temporary folder
  // others could change gets no download at all.
  std::string folderProblem;
  if (!platform::temporaryDirectory(&folderProblem)) {
    install::logDownloadFailure(folderProblem.c_str());
    setLastError(platform::Error{platform::kUrlErrorDomain, platform::url_error::kCannotCreateFile,
                                 folderProblem, url});
    continueAfterFailure();
    return;
  }
  urlDownload_ = platform::UrlDownload::create(url, *this, limitsForCurrentUrl(notificationName));
  if (urlDownload_) {
    doingDownload(true);
    return;
  }

  // A transfer that cannot even be made counts as a failed transfer of this URL, so that the
  // run still goes on or ends with its one done notification.
  install::logDownloadFailure("could not start download");
  setLastError(platform::Error{platform::kUrlErrorDomain, platform::url_error::kUnsupportedUrl,
                               "unsupported URL", url});
  continueAfterFailure();
}

platform::UrlDownloadLimits Downloader::limitsForCurrentUrl(
    const std::string& notificationName) const {
  platform::UrlDownloadLimits limits;
  limits.durations = transferDurations_;
  if (notificationName == INSTALLER_DOWNLOAD_NOTIFY_DONE) {
    limits.maxLength = currentUrlIndex_ == 0 ? std::uint64_t{ZANTH_MAX_INSTALLER_BYTES}
                                             : DOWNLOADER_MAX_SIGNATURE_BYTES;
    // The installer and its signature may come from a mirror folder on this machine; a
    // revocation list is fetched from where its certificate says, never from a file.
    limits.allowFileUrl = true;
  } else if (notificationName == CRL_DOWNLOAD_NOTIFY_DONE) {
    limits.maxLength = DOWNLOADER_MAX_CRL_BYTES;
    limits.maxDuration = DOWNLOADER_CRL_TIME_LIMIT;
  }
  return limits;
}

void Downloader::stopDownLoad() {
  // Only a run in progress can be cancelled; a second click cannot end a run twice.
  if (!urlDownload_) return;
  urlDownload_->cancel();
  urlDownload_.reset();
  doingDownload(false);
  install::logDownloadCancel();
  sendDoneNotfication(false, true);
}

void Downloader::cleanupTempFiles() {
  if (urlDownload_) {
    // The program is ending in the middle of a run (a signal): stop writing before removing.
    urlDownload_->cancel();
    urlDownload_.reset();
    statusTimer_.reset();
    cleanupPaths_.insert(cleanupPaths_.end(), resultPaths_.begin(), resultPaths_.end());
  }
  // Every file a run creates lies in the private folder, which goes with everything in it.
  // The files are not removed by their paths: the folder may have been renamed away and
  // something else put at its path, which is not this program's to remove.
  cleanupPaths_.clear();
  platform::removeTemporaryDirectory();
}

void Downloader::resetProgress() {
  bytesReceived_ = 0;
  setCurrentProgressPercent(0.0);
}

void Downloader::doingDownload(bool downloading) {
  statusTimer_.reset();  // a file's line ends with its transfer
  if (downloading) {
    if (cancelButton_) cancelButton_->setEnabled(true);
    if (silent_) return;
    // The phase: checking the signer's revocation lists is part of verifying the download.
    const bool verifying =
        notificationName_ == CRL_DOWNLOAD_NOTIFY_DONE && !localizedVerifying_.empty();
    if (pleaseWaitLabel_) {
      pleaseWaitLabel_->setText(verifying ? localizedVerifying_ : localizedPleaseWait_);
    }
    showStatus("");
    if (cancelButton_) cancelButton_->setTitle(localizedCancel_);
    if (progressWindow_) progressWindow_->makeKeyAndOrderFront();
  } else {
    if (cancelButton_) cancelButton_->setEnabled(false);
    if (progressWindow_) progressWindow_->close();
    if (progressBar_) progressBar_->setIndeterminate(false);
    showStatus("");
    resetProgress();
  }
}

void Downloader::setDownloadResponse(const platform::UrlResponse& response) {
  urlResponse_ = response;
}

void Downloader::sendDoneNotfication(bool success, bool cancelled) {
  cleanupPaths_.insert(cleanupPaths_.end(), resultPaths_.begin(), resultPaths_.end());
  platform::Notification notification;
  notification.name = notificationName_;
  notification.object = this;
  notification.userInfo[DOWNLOADER_KEY_SUCCESS] = success;
  notification.userInfo[DOWNLOADER_KEY_FILES] = resultPaths_;
  notification.userInfo[DOWNLOADER_KEY_CANCELLED] = cancelled;
  platform::NotificationQueue::defaultQueue().enqueueNotification(
      std::move(notification), platform::NotificationQueue::PostingStyle::WhenIdle);
}

void Downloader::showStatus(const std::string& line) {
  if (statusLabel_) statusLabel_->setText(line);
  if (progressBar_) progressBar_->accessible().setDescription(line);
}

void Downloader::continueAfterFailure() {
  ++currentUrlIndex_;
  if (ignoreFailures_ && currentUrlIndex_ < static_cast<std::int32_t>(urlStrings_.size())) {
    resetProgress();
    startDownload(notificationName_);
    return;
  }
  doingDownload(false);
  sendDoneNotfication(ignoreFailures_);
}

std::string Downloader::willSendRequest(platform::UrlDownload&, const std::string& url,
                                        const platform::UrlResponse&) {
  DebugTrace("Info: Redirecting to %s", url.c_str());
  return url;
}

void Downloader::didReceiveResponse(platform::UrlDownload&, const platform::UrlResponse& response) {
  resetProgress();
  setDownloadResponse(response);
  expectedBytes_ = response.expectedContentLength;
  progressStatus_.begin(expectedBytes_);
  // Without a length the bar cannot say how far the file has come, only that it is coming.
  if (progressBar_) progressBar_->setIndeterminate(expectedBytes_ <= 0);
  if (silent_) return;
  showStatus("");
  statusTimer_ = std::make_unique<platform::RepeatingTimer>(progressStatus_.interval(),
                                                            [this] { updateStatus(); });
}

bool Downloader::shouldDecodeSourceDataOfMIMEType(platform::UrlDownload&,
                                                  const std::string& mimeType) {
  // Exact, case-sensitive: a differently written type is saved as received.
  const bool decode = mimeType == "application/gzip" || mimeType == "application/x-gzip";
  DebugTrace("Info: Asked to decode %s, response %d", mimeType.c_str(), decode ? 1 : 0);
  return decode;
}

void Downloader::decideDestinationWithSuggestedFilename(platform::UrlDownload& download,
                                                        const std::string& filename) {
  // Made when the transfer started; without it the transfer fails as "cannot create file".
  const auto folder = platform::temporaryDirectory();
  if (!folder) return;
  const std::string destination = platform::path::appendComponent(*folder, filename);
  install::logDownloadDest(destination.c_str());
  download.setDestination(destination, false);
}

void Downloader::didCreateDestination(platform::UrlDownload&, const std::string& path) {
  DebugTrace("Info: Downloading to %s", path.c_str());
  resultPaths_.push_back(path);
  currentPath_ = path;
}

void Downloader::didReceiveDataOfLength(platform::UrlDownload&, std::uint32_t length) {
  bytesReceived_ += length;
  if (expectedBytes_ > 0 && bytesReceived_ > kProgressThreshold) {
    setCurrentProgressPercent(static_cast<double>(bytesReceived_) /
                              static_cast<double>(expectedBytes_) * 100.0);
  }
  if (!silent_) updateStatus();
}

void Downloader::updateStatus() {
  if (auto line = progressStatus_.received(bytesReceived_)) showStatus(*line);
}

void Downloader::downloadDidFinish(platform::UrlDownload&) {
  urlDownload_.reset();
  if (urlResponse_) {
    DebugTrace("Info: Successfully download %lld bytes of type %s",
               static_cast<long long>(urlResponse_->expectedContentLength),
               urlResponse_->mimeType.c_str());
  }
  install::logDownloadSuccess();
  ++currentUrlIndex_;
  if (currentUrlIndex_ < static_cast<std::int32_t>(urlStrings_.size())) {
    resetProgress();
    startDownload(notificationName_);
    return;
  }
  doingDownload(false);
  sendDoneNotfication(true);
}

void Downloader::didFailWithError(platform::UrlDownload&, const platform::Error& error) {
  urlDownload_.reset();
  setLastError(error);
  if (error.code == platform::url_error::kDataLengthExceedsMaximum && currentPath_) {
    // What was saved is the start of something too large, not the file: the run does not
    // hand it on (a list cut off at the limit must not be read as the list), only removes it.
    std::erase(resultPaths_, *currentPath_);
    cleanupPaths_.push_back(*currentPath_);
  }
  DebugTrace("Error: Download failed.  Error - %s %s", error.localizedDescription.c_str(),
             error.failingUrl.c_str());
  install::logDownloadFailure(error.localizedDescription.c_str());
  continueAfterFailure();
}

void Downloader::willRetryAfterError(platform::UrlDownload&, const platform::Error& error,
                                     int retry, int retries, std::chrono::milliseconds pause) {
  install::logDownloadRetry(retry, retries, error.localizedDescription.c_str());
  const std::string line = progressStatus_.retrying(pause);
  if (!silent_) showStatus(line);
}

void Downloader::willIgnoreDesktopProxy(platform::UrlDownload&, const std::string&,
                                        const std::string& reason) {
  install::logIgnoredSetting("desktop proxy", reason.c_str());
}
