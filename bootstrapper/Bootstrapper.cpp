#include "bootstrapper/Bootstrapper.h"

#include "download/Downloader.h"
#include "libinstall/InstallLogMsgs.h"
#include "libinstall/LibInstall.h"
#include "messages/ErrorDialogController.h"
#include "messages/LocalizedStrings.h"
#include "params/ParamChecker.h"
#include "platform/Bundle.h"
#include "platform/Error.h"
#include "platform/FileManager.h"
#include "platform/NotificationCenter.h"
#include "platform/Path.h"
#include "platform/ProcessInfo.h"
#include "platform/Task.h"
#include "platform/TerminationSignals.h"
#include "platform/ui/InterfaceResource.h"
#include "signature/SignatureNotifications.h"
#include "signature/SignatureVerification.h"

namespace {

constexpr const char* CONFIG_PLIST_NAME = "Config";
constexpr const char* kProcessName = "Bootstrapper";
constexpr const char* kInstallPrefix = "Install ";

// The catalogue's text for id in the user's language ("" if it has none).
std::string text(int id) { return LocalizedStrings::getEmbeddedMessage(id).value_or(""); }

// The command line as the log shows it: the quoted name, then every argument and a blank.
std::string commandLineForLog(const char* name, const std::vector<std::string>& arguments) {
  std::string line = std::string("\"") + name + "\" ";
  for (const std::string& argument : arguments) line += argument + " ";
  return line;
}

}  // namespace

Bootstrapper::Bootstrapper() {
  const auto& arguments = platform::ProcessInfo::arguments();
  // Started without a name (an empty argument vector, which the kernel may also hand on as one
  // empty argument), the program takes its path from the system, as its bundle does.
  exePath_ = !arguments.empty() && !arguments[0].empty() ? arguments[0]
                                                         : platform::ProcessInfo::executablePath();
  const std::string name = platform::path::lastComponent(exePath_);
  appName_ = name;
  // "Install Foo" packages "Foo"; any other name (even "install Foo") is taken whole.
  const std::string shortName = name.starts_with(kInstallPrefix) ? name.substr(8) : name;
  localizedWindowTitle_ = text(LABEL_INSTALLING) + shortName;
  // "Install ", "Install ." and "Install .." name no folder beside the program: the resource
  // folder itself or its parent is never the package.
  const bool namesAFolder = !shortName.empty() && shortName != "." && shortName != "..";

  const platform::Bundle& bundle = platform::Bundle::mainBundle();
  if (auto configPath = bundle.pathForResource(CONFIG_PLIST_NAME, "plist")) {
    auto config = platform::PropertyList::fromFile(*configPath);
    if (config && config->isDictionary()) config_ = std::move(config);
  }

  // An empty name is logged as the folder with a trailing "/", not as the folder itself.
  lookedUpAppPath_ =
      platform::path::appendComponent(bundle.resourcePath(), shortName.empty() ? "/" : shortName);
  bool isDirectory = false;
  if (namesAFolder &&
      platform::FileManager::defaultManager().fileExists(lookedUpAppPath_, &isDirectory) &&
      isDirectory) {
    appPath_ = lookedUpAppPath_;
  }

  auto& center = platform::NotificationCenter::defaultCenter();
  center.addObserver(this, INSTALLER_DOWNLOAD_NOTIFY_DONE,
                     [this](const platform::Notification& n) { notifyDownloaderDone(n); });
  center.addObserver(this, SIGNATURE_VERIFY_NOTIFY_DONE,
                     [this](const platform::Notification& n) { notifySignatureDone(n); });
}

Bootstrapper::~Bootstrapper() {
  platform::NotificationCenter::defaultCenter().removeObserver(this);
}

void Bootstrapper::applicationDidFinishLaunching() {
  // From here on a request to stop ends the run cleanly: nothing downloaded is left behind.
  platform::handleTerminationSignals([this](int signalNumber) { stopOnSignal(signalNumber); });
  const std::string version =
      platform::Bundle::mainBundle().infoValue("CFBundleVersion").value_or("");

  kobu::ParamChecker checker(platform::ProcessInfo::arguments());
  bool allowDownload = false;
  bool silent = false;
  kobu::KOBUErrorCode errorCode = 2;
  if (!checker.CheckParams(allowDownload, silent, errorCode)) {
    platform::ui::Application::shared().terminate(errorCode);
  }

  install::logApplicationBegin(kProcessName, version.c_str(), "Mac", "x86");

  if (!appPath_) {
    install::logCouldNotLocateAppDir(lookedUpAppPath_.c_str());
    endLaunch(12);
  }

  // The machine is looked at once: the version, the log line and the hand-off all take the
  // runtime folder found here, so each folder passed over is logged once.
  const std::optional<std::string> location = install::getRuntimeLocation();
  install::RuntimeVersionInfo info{};
  const bool runtimeFound = location && install::getRuntimeVersion(*location, info) == 0;
  if (runtimeFound) {
    install::logRuntimeInstalled(info.major, info.minor, info.revision, info.build,
                                 location->c_str());
    if (info.major > 1) endLaunch(installWithRuntime(*location, checker.ParamArray()));
  } else {
    install::logRuntimeNotInstalled();
  }

  // From here on a runtime installer has to be downloaded.
  if (!allowDownload) {
    install::logMissingAllowDownloadFlag();
    checker.PrintNeedsAllowDownloadFlag();
    endLaunch(10);
  }
  // Only an update of an installed runtime asks whether updates are allowed.
  if (runtimeFound && !install::canUpdateRuntime()) {
    install::logImmediateUpdateDisabled();
    showDialog(text(ERROR_UPDATE_NOT_ALLOWED));
    endLaunch(15);
  }
  startRuntimeDownload(silent, checker.ParamArray());
}

void Bootstrapper::startRuntimeDownload(bool silent,
                                        const std::vector<std::string>* validatedArgs) {
  char installerUrl[512];
  char signatureUrl[512];
  if (!install::getBootstrapperDownloadUrls(installerUrl, sizeof installerUrl, signatureUrl,
                                            sizeof signatureUrl)) {
    // Without addresses there is nothing to install: say so rather than report success.
    showDialog(text(ERROR_UPDATE_UNAVAILABLE));
    endLaunch(11);
  }
  downloader_->setUrlStrings({installerUrl, signatureUrl});
  downloader_->setSilent(silent);
  downloader_->setLocalizedCancel(text(BUTTON_CANCEL));
  downloader_->setLocalizedPleaseWait(text(LABEL_PLEASE_WAIT));
  downloader_->setRuntimeArgs(validatedArgs);
  downloader_->startDownload(INSTALLER_DOWNLOAD_NOTIFY_DONE);
  // The sequence goes on when the download's done notification arrives.
}

void Bootstrapper::endLaunch(int status) {
  if (int signalNumber = platform::pendingTerminationSignal()) stopOnSignal(signalNumber);
  install::logApplicationEnd(status == 0, kProcessName, status);
  platform::ui::Application::shared().terminate(status);
}

// ---- Download and verification sequence ----------------------------------------------------

void Bootstrapper::notifyDownloaderDone(const platform::Notification& notification) {
  const bool* success = notification.value<bool>(DOWNLOADER_KEY_SUCCESS);
  const auto* files = notification.value<std::vector<std::string>>(DOWNLOADER_KEY_FILES);
  handleDownloaderDone(success && *success, files ? *files : std::vector<std::string>());
}

void Bootstrapper::handleDownloaderDone(bool success, const std::vector<std::string>& files) {
  if (!success || files.size() != 2) {
    cleanupAndExit(true, 11, text(ERROR_RUNTIME_NOT_FOUND));
  }
  // The installer came from the first address, its detached signature from the second.
  installerLaunchPath_ = files[0];
  const std::string& signaturePath = files[1];
  // From here on the installer is never reached by its path again: the folder it lies in can
  // be renamed and the file replaced while the revocation lists download. A file that cannot
  // be opened fails the verification.
  installer_ = platform::FileManager::defaultManager().openOwnFileForReading(files[0]);
  verifier_ = std::make_unique<SignatureVerification>();
  verifier_->setDownloader(downloader_);
  verifier_->setDataDescriptor(installer_.get());
  verifier_->verifyDataAtPath(*installerLaunchPath_, signaturePath);
}

void Bootstrapper::notifySignatureDone(const platform::Notification& notification) {
  const bool* valid = notification.value<bool>(SIGNATURE_KEY_IS_VALID);
  handleSignatureDone(valid && *valid, static_cast<SignatureVerification*>(notification.object));
}

void Bootstrapper::handleSignatureDone(bool valid, SignatureVerification* verifier) {
  // A Cancel during the revocation-list download ends the road as a Cancel during the
  // installer's download does; nothing that was not fully checked may run.
  const bool cancelled = !valid && verifier && verifier->cancelled();
  // On a rejection the verifier has logged why (its errorString); the user sees the generic
  // validation message.
  int code = valid ? 0 : 13;
  verifier_.reset();
  if (cancelled) cleanupAndExit(true, 11, text(ERROR_RUNTIME_NOT_FOUND));

  if (code == 0) {
    if (!markAsExecutable(installer_)) {
      code = 11;
    } else {
      const std::vector<std::string>& runtimeArgs = downloader_->runtimeArgs();
      bool started = false;
      int status = installWithInstaller(installer_, *installerLaunchPath_, &runtimeArgs, started);
      // An installer that ran tells the user itself how it went; one that never started
      // cannot, and the user must not be left with nothing.
      if (!started) cleanupAndExit(true, status, text(ERROR_INSTALL_FAILED));
      cleanupAndExit(false, status, std::nullopt);
    }
  }
  cleanupAndExit(true, code, text(ERROR_VALIDATION_FAILED));
}

bool Bootstrapper::markAsExecutable(const platform::FileDescriptor& file) {
  auto& fileManager = platform::FileManager::defaultManager();
  auto permissions = fileManager.posixPermissions(file);
  if (!permissions) return false;
  // Execute for owner, group and others; every other bit, set-id and sticky included, stays.
  return fileManager.setPosixPermissions(file, *permissions | 0111);
}

int Bootstrapper::installWithInstaller(const platform::FileDescriptor& installer,
                                       const std::string& installerPath,
                                       const std::vector<std::string>* args, bool& started) {
  std::vector<std::string> arguments;
  if (args && !args->empty()) {
    arguments = *args;
  } else {
    arguments.push_back("-x1");
  }
  arguments.push_back(appPath_.value_or(""));
  install::logSubprocessBegin(commandLineForLog("Zanth Runtime Installer", arguments).c_str());

  // A child that cannot be started reports 127 or 126 and counts as a failed installer.
  platform::Task task(installerPath, arguments);
  started = task.launchFromDescriptor(installer);
  if (started) task.waitUntilExit();
  const int status = task.terminationStatus();
  if (status != 0) {
    install::logSubprocessFailure("Runtime Installer", status);
  } else {
    install::logSubprocessSuccess("Runtime Installer");
  }
  return status;
}

// ---- Hand-off, dialogs and exit --------------------------------------------------------------

int Bootstrapper::installWithRuntime(const std::string& runtimeLocation,
                                     const std::vector<std::string>* args) {
  std::vector<std::string> arguments = args ? *args : std::vector<std::string>();
  arguments.push_back(appPath_.value_or(""));
  install::logSubprocessBegin(commandLineForLog("Zanth Application Installer", arguments).c_str());

  // The Application Installer of the runtime the decision found, not of another one looked up
  // again.
  const int result = install::runAppInstaller(runtimeLocation, arguments);
  if (result != 0) {
    install::logSubprocessFailure("Application Installer", result);
  } else {
    install::logSubprocessSuccess("Application Installer");
  }
  return result;
}

void Bootstrapper::showDialog(const std::string& message) {
  dialog_ = std::make_unique<ErrorDialogController>("ErrorDialog");
  if (!dialog_->loadWindow()) {
    // Without its window the message still reaches the user, as a plain alert.
    okAlert(message);
    return;
  }
  dialog_->setMessage(message, text(BUTTON_OK), appName_);
  platform::ui::Application::shared().runModalForWindow(*dialog_->window());
}

void Bootstrapper::okAlert(const std::string& message) {
  platform::ui::runAlertPanel(appName_, message, text(BUTTON_OK));
}

void Bootstrapper::cleanupAndExit(bool showDialog, int errCode,
                                  const std::optional<std::string>& exitMessage) {
  // A stop request that came while an installer ran was passed on to it; now that it has
  // ended, the program stops as asked, without a dialog.
  if (int signalNumber = platform::pendingTerminationSignal()) stopOnSignal(signalNumber);
  if (errCode != 0) {
    if (showDialog) {
      const auto& lastError = downloader_ ? downloader_->lastError() : std::nullopt;
      if (lastError && lastError->domain == platform::kUrlErrorDomain &&
          lastError->code == platform::url_error::kFileDoesNotExist) {
        this->showDialog(text(ERROR_UPDATE_UNAVAILABLE));
      } else {
        okAlert(exitMessage.value_or(text(ERROR_INSTALL_FAILED)));
      }
    }
    install::logApplicationEnd(false, kProcessName, errCode);
  } else {
    install::logApplicationEnd(true, kProcessName, 0);
  }
  // Closed first: some file systems (FUSE) keep a removed file that is still open as a hidden
  // one, and the folder holding it could not go.
  (void)installer_.close();
  if (downloader_) downloader_->cleanupTempFiles();
  platform::ui::Application::shared().terminate(errCode);
}

void Bootstrapper::stopOnSignal(int signalNumber) {
  install::logSignalReceived(signalNumber);
  const int code = 128 + signalNumber;
  install::logApplicationEnd(false, kProcessName, code);
  (void)installer_.close();
  if (downloader_) downloader_->cleanupTempFiles();
  platform::ui::Application::shared().terminate(code);
}
