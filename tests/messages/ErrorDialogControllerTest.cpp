// The error dialog as the program shows it. Built into a headless test program and into one run
// under Xvfb with the GTK backend.
#include "messages/ErrorDialogController.h"

#include <gtest/gtest.h>

#include <string>

#include "messages/LocalizedStrings.h"
#include "platform/ui/Application.h"
#include "tests/support/MainLoop.h"

namespace {

using platform::ui::Application;
using platform::ui::TextRun;
using testsupport::runLater;

const std::string kRequirementsPage = "https://www.quillor.example/zanth/system-requirements";

#ifdef ZANTH_TEST_WITH_DISPLAY
TEST(ErrorDialogController, RunsWithTheToolkit) {
  ASSERT_TRUE(Application::shared().hasDisplay()) << "run this program under Xvfb";
}
#endif

TEST(ErrorDialogController, LoadsItsWindowAndOutlets) {
  ErrorDialogController controller("ErrorDialog");
  EXPECT_EQ(controller.window(), nullptr);
  controller.setMessage("before loading", "OK", "Install Foo");  // harmless
  ASSERT_TRUE(controller.loadWindow());
  EXPECT_NE(controller.window(), nullptr);
  EXPECT_NE(controller.textView(), nullptr);
  EXPECT_NE(controller.okButton(), nullptr);
  EXPECT_FALSE(controller.window()->isVisible()) << "shown only when run";

  ErrorDialogController missing("NoSuchDialog");
  EXPECT_FALSE(missing.loadWindow());
  EXPECT_EQ(missing.window(), nullptr);
  ErrorDialogController wrongKind("MainInterface");
  EXPECT_FALSE(wrongKind.loadWindow()) << "a resource without the dialog's outlets";
}

TEST(ErrorDialogController, ShowsTheMessageWithItsLinkAndOkEndsTheModalLoop) {
  ErrorDialogController controller("ErrorDialog");
  ASSERT_TRUE(controller.loadWindow());
  const std::string message = wchartoNSString(allMessages[1].messages[ERROR_UPDATE_UNAVAILABLE]);
  controller.setMessage(message, "Tamam", "Install Fôo");

  EXPECT_EQ(controller.okButton()->title(), "Tamam");
  EXPECT_EQ(controller.window()->title(), "Install Fôo");
  const auto runs = controller.textView()->attributedText().runs;
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_EQ(runs[0].text,
            "This application requires an update to Quillor Zanth that is not available for your "
            "system. Please view the ");
  EXPECT_FALSE(runs[0].link);
  EXPECT_FALSE(runs[0].color);
  EXPECT_FALSE(runs[0].underline);
  EXPECT_EQ(runs[1].text, "system requirements");
  EXPECT_EQ(runs[1].link, kRequirementsPage);
  EXPECT_EQ(runs[1].color, platform::ui::kBlueColor);
  EXPECT_TRUE(runs[1].underline);
  EXPECT_EQ(runs[2].text, " for Quillor Zanth and update your system accordingly.");
  EXPECT_FALSE(runs[2].link);

  Application& application = Application::shared();
  if (application.hasDisplay()) {
    bool pressed = false;
    runLater(100, [&] {
      pressed = true;
      controller.okButton()->performClick();
    });
    EXPECT_EQ(application.runModalForWindow(*controller.window()), 1);
    EXPECT_TRUE(pressed) << "the loop ended before OK was pressed";
  } else {
    testing::internal::CaptureStderr();
    EXPECT_EQ(application.runModalForWindow(*controller.window()),
              platform::ui::kModalResponseAbort);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Install Fôo\nThis application requires an update to Quillor Zanth that is not "
              "available for your system. Please view the system requirements <" +
                  kRequirementsPage + "> for Quillor Zanth and update your system accordingly.\n");
  }
  EXPECT_TRUE(controller.window()->isVisible()) << "OK does not close the window";
}

TEST(ErrorDialogController, OkEndsOnlyTheInnermostLoopWithOne) {
  Application& application = Application::shared();
  if (!application.hasDisplay()) GTEST_SKIP() << "headless modal loops do not wait";
  ErrorDialogController controller("ErrorDialog");
  ASSERT_TRUE(controller.loadWindow());
  controller.setMessage("Plain message.", "OK", "Install Foo");
  runLater(50, [&] { controller.OK(); });
  EXPECT_EQ(application.runModalForWindow(*controller.window()), 1);
}

TEST(ErrorDialogController, AlertPanelHeadlessWritesTitleAndText) {
  if (Application::shared().hasDisplay()) GTEST_SKIP() << "the alert waits for a person here";
  testing::internal::CaptureStderr();
  platform::ui::runAlertPanel("Install Foo", "Line one.\nLine two.", "OK");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Install Foo\nLine one.\nLine two.\n");
}

}  // namespace
