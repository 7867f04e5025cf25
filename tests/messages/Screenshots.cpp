// Renders the error dialog with ERROR_UPDATE_UNAVAILABLE and the alert with
// ERROR_RUNTIME_NOT_FOUND, in the language the environment asks for, into PNG files so that
// translations and layouts can be looked at. Used by scripts/screenshots; not a test.
#include <cstdio>
#include <string>

#include "messages/ErrorDialogController.h"
#include "messages/LocalizedStrings.h"
#include "platform/ui/Application.h"
#include "platform/ui/ScreenSnapshot.h"
#include "tests/support/MainLoop.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <output folder> <name>\n", argv[0]);
    return 2;
  }
  const std::string prefix = std::string(argv[1]) + "/" + argv[2];
  platform::ui::Application& application = platform::ui::Application::shared();
  if (!application.hasDisplay()) {
    std::fprintf(stderr, "no display: run under xvfb-run\n");
    return 1;
  }
  const std::string okText = LocalizedStrings::getEmbeddedMessage(BUTTON_OK).value_or("?");
  const std::string appName = "Install Foo";
  bool saved = true;

  ErrorDialogController controller("ErrorDialog");
  if (!controller.loadWindow()) return 1;
  controller.setMessage(LocalizedStrings::getEmbeddedMessage(ERROR_UPDATE_UNAVAILABLE).value_or(""),
                        okText, appName);
  testsupport::runLater(500, [&] {
    saved = platform::ui::writeScreenSnapshot(prefix + "-dialog.png") && saved;
    controller.okButton()->performClick();
  });
  application.runModalForWindow(*controller.window());
  controller.window()->close();

  testsupport::runLater(500, [&] {
    saved = platform::ui::writeScreenSnapshot(prefix + "-alert.png") && saved;
    application.stopModalWithCode(1);
  });
  platform::ui::runAlertPanel(
      appName, LocalizedStrings::getEmbeddedMessage(ERROR_RUNTIME_NOT_FOUND).value_or(""), okText);
  return saved ? 0 : 1;
}
