#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "download/DownloaderNotifications.h"
#include "download/ProgressStatus.h"
#include "platform/Error.h"
#include "platform/RepeatingTimer.h"
#include "platform/UrlDownload.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/ProgressIndicator.h"
#include "platform/ui/Window.h"

// The largest files a run accepts; a larger one fails as too large
// (url_error::kDataLengthExceedsMaximum). The installer's limit is a build setting.
inline constexpr std::uint64_t DOWNLOADER_MAX_SIGNATURE_BYTES = std::uint64_t{1} << 20;
// libcrypto parses a revocation list whole, at about eight times its size in memory, and the
// lists of a chain are held together: two lists at this limit add about 16 MiB to the program,
// which stays below 128 MiB even with its windows. A private signing CA's lists are kilobytes.
inline constexpr std::uint64_t DOWNLOADER_MAX_CRL_BYTES = std::uint64_t{1} << 20;
// The time one revocation list may take in all: the lists are optional, so a slow list host
// must not hold the installation for long.
inline constexpr std::chrono::seconds DOWNLOADER_CRL_TIME_LIMIT{60};

// Fetches an ordered list of URLs one after another into the private temporary folder, with a
// progress window, and ends every run with exactly one done notification (user info:
// DOWNLOADER_KEY_SUCCESS, a bool; DOWNLOADER_KEY_FILES, the paths created by the run;
// DOWNLOADER_KEY_CANCELLED, a bool) posted when the main loop is idle, never inside the call
// that ended the run. One run at a time. The runs of INSTALLER_DOWNLOAD_NOTIFY_DONE fetch the
// installer, then its signature; those of CRL_DOWNLOAD_NOTIFY_DONE fetch revocation lists; each
// file is held to its limits above. A file that failed for being too large is not one of the
// run's files (it is still removed at clean-up).
class Downloader : public platform::UrlDownloadDelegate {
 public:
  Downloader();
  ~Downloader() override;
  Downloader(const Downloader&) = delete;
  Downloader& operator=(const Downloader&) = delete;

  // The URLs of the next run. Restarts at the first URL and empties resultPaths (the files stay
  // listed for cleanupTempFiles).
  void setUrlStrings(std::vector<std::string> urls);
  const std::vector<std::string>& urlStrings() const { return urlStrings_; }

  // When set, a failed URL does not end the run, and the run's result is true.
  void setIgnoreFailures(bool ignoreFailures) { ignoreFailures_ = ignoreFailures; }
  bool ignoreFailures() const { return ignoreFailures_; }
  // How long each transfer waits on what it waits for (retry pauses, silence, a slow link); the
  // program's values unless set.
  void setTransferDurations(const platform::UrlDownloadDurations& durations) {
    transferDurations_ = durations;
  }
  // When set, the progress window is never shown (the Cancel button still follows the run).
  void setSilent(bool silent) { silent_ = silent; }
  bool silent() const { return silent_; }
  void setLocalizedPleaseWait(std::string text) { localizedPleaseWait_ = std::move(text); }
  const std::string& localizedPleaseWait() const { return localizedPleaseWait_; }
  void setLocalizedCancel(std::string text) { localizedCancel_ = std::move(text); }
  const std::string& localizedCancel() const { return localizedCancel_; }
  // The label's text while revocation lists download (runs of CRL_DOWNLOAD_NOTIFY_DONE), in
  // place of localizedPleaseWait.
  void setLocalizedVerifyingDownload(std::string text) { localizedVerifying_ = std::move(text); }
  const std::string& localizedVerifyingDownload() const { return localizedVerifying_; }
  // The words of the status line under the bar; without them the line stays empty.
  void setProgressWording(ProgressStatus::Wording wording) {
    progressStatus_.setWording(std::move(wording));
  }

  // Arguments parked here for a later step; a copy is kept (empty when args is null). Never read
  // by the downloader itself.
  void setRuntimeArgs(const std::vector<std::string>* args);
  const std::vector<std::string>& runtimeArgs() const { return runtimeArgs_; }

  // The error of the most recent failed transfer of any run; set only on a failure, never
  // cleared by a run.
  void setLastError(std::optional<platform::Error> error) { lastError_ = std::move(error); }
  const std::optional<platform::Error>& lastError() const { return lastError_; }

  // Progress of the current URL on a 0 to 100 scale (may pass 100); the bar follows it.
  double currentProgressPercent() const { return currentProgressPercent_; }
  void setCurrentProgressPercent(double percent);

  std::int64_t bytesReceived() const { return bytesReceived_; }
  std::int64_t expectedBytes() const { return expectedBytes_; }
  int currentUrlIndex() const { return currentUrlIndex_; }
  // The most recent response received; none before the first.
  const std::optional<platform::UrlResponse>& urlResponse() const { return urlResponse_; }
  // The files created by the current run, in creation order (the list the done notification
  // carries).
  const std::vector<std::string>& resultPaths() const { return resultPaths_; }
  // Every file created by any run since the last cleanupTempFiles.
  const std::vector<std::string>& cleanupPaths() const { return cleanupPaths_; }
  const std::string& notificationName() const { return notificationName_; }
  // Whether a transfer is in progress.
  bool isDownloading() const { return urlDownload_ != nullptr; }

  // Starts the run (or goes on with it) at currentUrlIndex; the run ends with the done
  // notification called notificationName. urlStrings must not be empty. When no private folder
  // can be made (see platform::temporaryDirectory), the URL fails before any request, with the
  // reason logged and "cannot create file" as lastError.
  void startDownload(const std::string& notificationName);
  // Cancels the run: the transfer stops, the window closes, and the done notification says
  // false and cancelled. The action of the Cancel button and of closing the progress window.
  void stopDownLoad();
  // Removes every file that any run created, ignoring failures, and the private temporary
  // folder. A transfer still in progress is stopped first (no done notification follows) and
  // its file removed too.
  void cleanupTempFiles();

  // Interface outlets, owned by the interface; each may be null.
  // Closing the window from its frame during a run cancels the run, as Cancel does.
  void setProgressWindow(platform::ui::Window* window);
  void setProgressBar(platform::ui::ProgressIndicator* bar);
  // Also makes stopDownLoad the button's action.
  void setCancelButton(platform::ui::Button* button);
  void setPleaseWaitLabel(platform::ui::Label* label) { pleaseWaitLabel_ = label; }
  // The status line under the bar: bytes, rate and time left, or the coming retry. The bar's
  // accessible description follows it.
  void setStatusLabel(platform::ui::Label* label) { statusLabel_ = label; }

  // The transfer's delegate callbacks.
  std::string willSendRequest(platform::UrlDownload& download, const std::string& url,
                              const platform::UrlResponse& redirectResponse) override;
  void didReceiveResponse(platform::UrlDownload& download,
                          const platform::UrlResponse& response) override;
  bool shouldDecodeSourceDataOfMIMEType(platform::UrlDownload& download,
                                        const std::string& mimeType) override;
  void decideDestinationWithSuggestedFilename(platform::UrlDownload& download,
                                              const std::string& filename) override;
  void didCreateDestination(platform::UrlDownload& download, const std::string& path) override;
  void didReceiveDataOfLength(platform::UrlDownload& download, std::uint32_t length) override;
  void downloadDidFinish(platform::UrlDownload& download) override;
  void didFailWithError(platform::UrlDownload& download, const platform::Error& error) override;
  // Logs the retry and says on the status line when it comes; the run and its progress go on
  // as they were.
  void willRetryAfterError(platform::UrlDownload& download, const platform::Error& error, int retry,
                           int retries, std::chrono::milliseconds pause) override;
  // Logs that the desktop's proxy setting is passed over for this attempt.
  void willIgnoreDesktopProxy(platform::UrlDownload& download, const std::string& url,
                              const std::string& reason) override;

 private:
  void resetProgress();
  // What the current URL of a run called notificationName may take.
  platform::UrlDownloadLimits limitsForCurrentUrl(const std::string& notificationName) const;
  // Shows (true) or hides (false) the progress window and enables the Cancel button to match.
  void doingDownload(bool downloading);
  void setDownloadResponse(const platform::UrlResponse& response);
  // Posts the run's done notification when the loop is idle.
  void sendDoneNotfication(bool success, bool cancelled = false);
  // Ends the current URL as failed: the next URL when failures are ignored, else the run.
  void continueAfterFailure();
  // Puts line on the status line and into the bar's accessible description.
  void showStatus(const std::string& line);
  // Brings the status line up to date with the bytes so far.
  void updateStatus();

  std::int64_t bytesReceived_ = 0;
  std::int64_t expectedBytes_ = -1;
  double currentProgressPercent_ = 0.0;
  std::int32_t currentUrlIndex_ = 0;
  std::vector<std::string> urlStrings_;
  std::vector<std::string> runtimeArgs_;
  std::unique_ptr<platform::UrlDownload> urlDownload_;
  std::optional<platform::UrlResponse> urlResponse_;
  std::vector<std::string> resultPaths_;
  std::optional<std::string> currentPath_;  // the file of the current URL, once created
  std::vector<std::string> cleanupPaths_;
  std::optional<platform::Error> lastError_;
  bool ignoreFailures_ = false;
  platform::UrlDownloadDurations transferDurations_;
  bool silent_ = false;
  std::string notificationName_;
  platform::ui::Window* progressWindow_ = nullptr;
  platform::ui::ProgressIndicator* progressBar_ = nullptr;
  platform::ui::Button* cancelButton_ = nullptr;
  platform::ui::Label* pleaseWaitLabel_ = nullptr;
  std::string localizedPleaseWait_;
  std::string localizedCancel_;
  platform::ui::Label* statusLabel_ = nullptr;  // interface outlet
  std::string localizedVerifying_;
  // The status line of the current file; begun anew with each response.
  ProgressStatus progressStatus_;
  // Feeds the status line while no bytes come, so a stall shows; from a response to the end of
  // the transfer.
  std::unique_ptr<platform::RepeatingTimer> statusTimer_;
};
