// The program's main interface: the objects its interface resource describes, created and
// connected as loading the resource would: the progress window with its controls, the one
// Downloader (whose outlets are the window's controls) and the one Bootstrapper (whose outlet
// is the Downloader).
#include "bootstrapper/Bootstrapper.h"
#include "download/Downloader.h"
#include "messages/LocalizedStrings.h"
#include "messages/StatusText.h"
#include "platform/ui/InterfaceResource.h"

namespace {

// The status line in the language the catalogue chose.
ProgressStatus::Wording progressWording() {
  const StatusText words = StatusText::forChosenLanguage();
  return {[words](const ProgressReport& report) {
            return words.progressLine(report.received, report.total, report.bytesPerSecond,
                                      report.timeLeft);
          },
          [words](std::chrono::milliseconds pause) { return words.retryLine(pause); }};
}

// Names and roles for screen readers: the bar is named for what it measures and labelled by
// the phase; the status line is a status bar, which readers announce when asked, not on each
// change of the bar.
void describeForScreenReaders(platform::ui::InterfaceResource& resource) {
  using platform::ui::AccessibleRole;
  if (auto* bar = resource.progressIndicator("progressBar")) {
    bar->accessible().setRole(AccessibleRole::ProgressBar);
    bar->accessible().setName(
        LocalizedStrings::getStatusMessage(ACCESSIBLE_PROGRESS_BAR).value_or(""));
  }
  if (auto* phase = resource.label("pleaseWaitLabel")) {
    phase->accessible().setRole(AccessibleRole::Label);
  }
  if (auto* line = resource.label("statusLabel")) {
    line->accessible().setRole(AccessibleRole::StatusBar);
    line->accessible().setName(
        LocalizedStrings::getStatusMessage(ACCESSIBLE_STATUS_LINE).value_or(""));
  }
}

class BootstrapperInterface : public platform::ui::MainInterface {
 public:
  BootstrapperInterface() : resource_(platform::ui::InterfaceResource::load("MainInterface")) {
    if (resource_) {
      downloader_.setProgressWindow(resource_->window("progressWindow"));
      downloader_.setProgressBar(resource_->progressIndicator("progressBar"));
      downloader_.setCancelButton(resource_->button("cancelButton"));
      downloader_.setPleaseWaitLabel(resource_->label("pleaseWaitLabel"));
      downloader_.setStatusLabel(resource_->label("statusLabel"));
      describeForScreenReaders(*resource_);
    }
    downloader_.setLocalizedVerifyingDownload(
        LocalizedStrings::getEmbeddedMessage(LABEL_VERIFYING_DOWNLOAD).value_or(""));
    downloader_.setProgressWording(progressWording());
    bootstrapper_.setDownloader(&downloader_);
    // The progress window is titled with the localized "Installing <App>".
    if (auto* window = resource_ ? resource_->window("progressWindow") : nullptr) {
      window->setTitle(bootstrapper_.localizedWindowTitle());
    }
  }

  platform::ui::ApplicationDelegate& delegate() override { return bootstrapper_; }

 private:
  std::unique_ptr<platform::ui::InterfaceResource> resource_;
  Downloader downloader_;
  Bootstrapper bootstrapper_;
};

}  // namespace

std::unique_ptr<platform::ui::MainInterface> platform::ui::loadMainInterface() {
  return std::make_unique<BootstrapperInterface>();
}
