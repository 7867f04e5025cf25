// The headless backend itself, apart from the backend the process chose.
#include <gtest/gtest.h>

#include "platform/ui/Backend.h"
#include "platform/ui/InterfaceDocuments.h"

namespace {

using platform::ui::detail::interfaceDocument;
using platform::ui::detail::makeHeadlessBackend;

TEST(HeadlessBackend, TellsItsReasonBeforeTheFirstThingShownAndOnlyThen) {
  const auto document = interfaceDocument("ErrorDialog");
  ASSERT_TRUE(document);
  auto backend = makeHeadlessBackend("Reason.");

  testing::internal::CaptureStderr();
  auto resource = backend->load(*document);
  ASSERT_NE(resource, nullptr);
  auto* window = resource->window("errorDialog");
  window->setTitle("Install Foo");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "loading shows nothing";

  testing::internal::CaptureStderr();
  backend->runAlertPanel("Alert", "Text.", "OK");
  backend->runModalForWindow(*window);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Reason.\nAlert\nText.\nInstall Foo\n\n")
      << "an alert first: the reason before it, and not again before the window";
  EXPECT_FALSE(interfaceDocument("NoSuchInterface")) << "only the program's resources exist";
}

}  // namespace
