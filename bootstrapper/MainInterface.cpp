// The program's main interface: the objects its interface resource describes, created and
// connected as loading the resource would: the progress window with its controls, the one
// Downloader (whose outlets are the window's controls) and the one Bootstrapper (whose outlet
// is the Downloader).
#include "bootstrapper/Bootstrapper.h"
#include "download/Downloader.h"
#include "platform/ui/InterfaceResource.h"

namespace {

class BootstrapperInterface : public platform::ui::MainInterface {
 public:
  BootstrapperInterface() : resource_(platform::ui::InterfaceResource::load("MainInterface")) {
    if (resource_) {
      downloader_.setProgressWindow(resource_->window("progressWindow"));
      downloader_.setProgressBar(resource_->progressIndicator("progressBar"));
      downloader_.setCancelButton(resource_->button("cancelButton"));
      downloader_.setPleaseWaitLabel(resource_->label("pleaseWaitLabel"));
    }
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
