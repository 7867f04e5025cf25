#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileDescriptor.h"
#include "platform/Notification.h"
#include "platform/PropertyList.h"
#include "platform/ui/Application.h"

class Downloader;
class ErrorDialogController;
class SignatureVerification;

// The application delegate: takes the launch decision, runs the download-and-verify sequence,
// hands the package to an installer and ends the process through one common exit.
class Bootstrapper : public platform::ui::ApplicationDelegate {
 public:
  // Derives the names and the package path from the program's path, reads Config.plist and
  // registers for the download and verification done notifications.
  Bootstrapper();
  ~Bootstrapper() override;
  Bootstrapper(const Bootstrapper&) = delete;
  Bootstrapper& operator=(const Bootstrapper&) = delete;

  // The interface outlet: the process's one downloader, owned by the main interface.
  void setDownloader(Downloader* downloader) { downloader_ = downloader; }

  // The program's file name (for example "Install Foo"): the title of every dialog.
  const std::string& appName() const { return appName_; }
  void setAppName(std::string appName) { appName_ = std::move(appName); }
  // "Installing " (localized) followed by the package's short name.
  const std::string& localizedWindowTitle() const { return localizedWindowTitle_; }
  void setLocalizedWindowTitle(std::string title) { localizedWindowTitle_ = std::move(title); }

  // The launch decision: runs once, when the application has finished launching.
  void applicationDidFinishLaunching() override;

  // The download sequence, driven by the done notifications.
  void notifyDownloaderDone(const platform::Notification& notification);
  void handleDownloaderDone(bool success, const std::vector<std::string>& files);
  void notifySignatureDone(const platform::Notification& notification);
  void handleSignatureDone(bool valid, SignatureVerification* verifier);
  // Adds execute permission for everyone to the file open as file, keeping every other bit.
  [[nodiscard]] bool markAsExecutable(const platform::FileDescriptor& file);
  // Runs the downloaded runtime installer, the file open as installer (installerPath is its
  // first argument), with args (or "-x1" when there are none) and the package path, waits for
  // it and returns its exit status. started tells whether it could be started at all (when
  // not, the status is 127 or 126).
  [[nodiscard]] int installWithInstaller(const platform::FileDescriptor& installer,
                                         const std::string& installerPath,
                                         const std::vector<std::string>* args, bool& started);

  // Hands the package to the Application Installer of the runtime in runtimeLocation; returns
  // its result.
  [[nodiscard]] int installWithRuntime(const std::string& runtimeLocation,
                                       const std::vector<std::string>* args);
  // The error dialog with clickable links; returns when the user has dismissed it.
  void showDialog(const std::string& message);
  // The standard alert with one OK button; returns when it has been pressed.
  void okAlert(const std::string& message);
  // Shows what failed (when asked and code is not 0), logs the end line, deletes every
  // download and ends the process with code.
  [[noreturn]] void cleanupAndExit(bool showDialog, int errCode,
                                   const std::optional<std::string>& exitMessage);

 private:
  // Ends a road of the launch decision that downloaded nothing.
  [[noreturn]] void endLaunch(int status);
  // Ends the process on a termination signal: stops the downloads, removes every file they
  // created and the private folder, logs why, and exits with 128 + the signal's number.
  [[noreturn]] void stopOnSignal(int signalNumber);
  // Starts the download of the runtime installer and its signature; ends the process when the
  // addresses cannot be built.
  void startRuntimeDownload(bool silent, const std::vector<std::string>* validatedArgs);

  std::string exePath_;
  std::optional<std::string> appPath_;  // none when no package folder exists
  std::string appName_;
  std::optional<std::string> installerLaunchPath_;
  // The downloaded installer, opened once: what is verified is what is made executable and run.
  platform::FileDescriptor installer_;
  std::string localizedWindowTitle_;
  std::optional<platform::PropertyList> config_;
  Downloader* downloader_ = nullptr;

  std::string lookedUpAppPath_;                      // the package path looked for, for the log
  std::unique_ptr<SignatureVerification> verifier_;  // from its start until its result is handled
  std::unique_ptr<ErrorDialogController> dialog_;    // shown once; lives until the process ends
};
