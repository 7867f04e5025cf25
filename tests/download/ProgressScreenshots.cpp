// Shows the progress window mid-download from a paced fixture server, in the language the
// environment asks for, and takes its picture: <folder>/<name>-progress.png while the installer
// arrives (bytes, rate, time left), <folder>/<name>-verifying.png while a list without a length
// arrives (the verifying phase, a pulsing bar, the bytes only). Used by scripts/screenshots;
// not a test. With --external the pictures are left to another program (a Wayland compositor's
// screenshooter): the name of each picture is printed to standard output when the window is
// ready for it, and the window stays for --external's seconds.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "download/Downloader.h"
#include "messages/LocalizedStrings.h"
#include "messages/StatusText.h"
#include "platform/NotificationCenter.h"
#include "platform/ui/Application.h"
#include "platform/ui/InterfaceResource.h"
#include "platform/ui/ScreenSnapshot.h"
#include "tests/support/EnvironmentGuard.h"
#include "tests/support/FixtureServer.h"
#include "tests/support/MainLoop.h"
#include "tests/support/ScratchFolder.h"

namespace {

using namespace std::chrono_literals;

std::string message(int id) { return LocalizedStrings::getEmbeddedMessage(id).value_or("?"); }
std::string statusMessage(int id) { return LocalizedStrings::getStatusMessage(id).value_or("?"); }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s <output folder> <name> [--external SECONDS]\n", argv[0]);
    return 2;
  }
  const std::string prefix = std::string(argv[1]) + "/" + argv[2];
  const int external = argc == 5 && std::string(argv[3]) == "--external" ? std::atoi(argv[4]) : 0;
  platform::ui::Application& application = platform::ui::Application::shared();
  if (!application.hasDisplay()) {
    std::fprintf(stderr, "no display: run under xvfb-run or a Wayland compositor\n");
    return 1;
  }

  testsupport::FixtureServer server;
  if (!server.start()) return 1;
  testsupport::ScratchFolder scratch("zanth-progress-shots");
  testsupport::EnvironmentGuard env;
  env.set("http_proxy", server.proxyUrl());
  env.set("TMPDIR", scratch.root());
  // 300 MB without a byte on disk: enough to be mid-download with minutes left.
  {
    std::FILE* file = std::fopen((server.root() + "/installer").c_str(), "w");
    std::fclose(file);
  }
  std::filesystem::resize_file(server.root() + "/installer", 300'000'000);
  {
    std::FILE* file = std::fopen((server.root() + "/crl").c_str(), "w");
    std::fclose(file);
  }
  std::filesystem::resize_file(server.root() + "/crl", 1'000'000);

  auto resource = platform::ui::InterfaceResource::load("MainInterface");
  if (!resource) return 1;
  Downloader downloader;
  downloader.setProgressWindow(resource->window("progressWindow"));
  downloader.setProgressBar(resource->progressIndicator("progressBar"));
  downloader.setCancelButton(resource->button("cancelButton"));
  downloader.setPleaseWaitLabel(resource->label("pleaseWaitLabel"));
  downloader.setStatusLabel(resource->label("statusLabel"));
  resource->window("progressWindow")->setTitle(message(LABEL_INSTALLING) + "Foo");
  resource->progressIndicator("progressBar")
      ->accessible()
      .setName(statusMessage(ACCESSIBLE_PROGRESS_BAR));
  downloader.setLocalizedPleaseWait(message(LABEL_PLEASE_WAIT));
  downloader.setLocalizedCancel(message(BUTTON_CANCEL));
  downloader.setLocalizedVerifyingDownload(message(LABEL_VERIFYING_DOWNLOAD));
  const StatusText words = StatusText::forChosenLanguage();
  downloader.setProgressWording(
      {[words](const ProgressReport& r) {
         return words.progressLine(r.received, r.total, r.bytesPerSecond, r.timeLeft);
       },
       [words](std::chrono::milliseconds pause) { return words.retryLine(pause); }});

  bool saved = true;
  const auto shoot = [&](const std::string& picture, std::chrono::milliseconds after) {
    testsupport::runMainLoopFor(after);
    if (external > 0) {
      std::printf("%s\n", picture.c_str());
      std::fflush(stdout);
      testsupport::runMainLoopFor(std::chrono::seconds(external));
    } else {
      saved = platform::ui::writeScreenSnapshot(picture) && saved;
    }
    downloader.stopDownLoad();
    testsupport::runMainLoopFor(200ms);
  };

  // About 2.5 MB/s: past 5 % of the file after six to eight seconds, with about two minutes
  // left.
  downloader.setUrlStrings({"http://download.quillor.example/_drip=128000,50/installer"});
  downloader.startDownload(INSTALLER_DOWNLOAD_NOTIFY_DONE);
  shoot(prefix + "-progress.png", 9500ms);

  downloader.setUrlStrings({"http://download.quillor.example/_nolength/_drip=3000,100/crl"});
  downloader.startDownload(CRL_DOWNLOAD_NOTIFY_DONE);
  shoot(prefix + "-verifying.png", 2500ms);
  downloader.cleanupTempFiles();
  return saved ? 0 : 1;
}
