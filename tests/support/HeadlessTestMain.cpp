// Entry of test programs that exercise the headless UI backend. Without a display variable the
// platform layer never touches the toolkit, whatever session the tests are started from; with
// ZANTH_TEST_DISPLAY the display variable names that display instead, one that cannot be
// opened, and the backend must fall back to headless all the same.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/ui/Application.h"
#include "platform/ui/InterfaceResource.h"

namespace {

std::string reasonForThisEnvironment() {
  const char* display = std::getenv("ZANTH_TEST_DISPLAY");
  if (display == nullptr) return "No display: running without windows\n";
  return "Cannot open the display (DISPLAY=" + std::string(display) +
         "): running without windows\n";
}

// The headless backend says why there are no windows once, before the first window it would
// have shown. Every test program checks that line first, so the tests see only their own output.
class ReasonForNoWindows : public testing::Environment {
 public:
  void SetUp() override {
    auto resource = platform::ui::InterfaceResource::load("ErrorDialog");
    ASSERT_NE(resource, nullptr);
    auto* window = resource->window("errorDialog");
    testing::internal::CaptureStderr();
    window->makeKeyAndOrderFront();
    window->close();
    window->makeKeyAndOrderFront();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), reasonForThisEnvironment())
        << "the reason, once";
  }
};

}  // namespace

TEST(UiBackend, IsHeadlessWithoutAReachableDisplay) {
  EXPECT_FALSE(platform::ui::Application::shared().hasDisplay());
}

int main(int argc, char** argv) {
  unsetenv("WAYLAND_DISPLAY");
  if (const char* display = std::getenv("ZANTH_TEST_DISPLAY")) {
    setenv("DISPLAY", display, 1);
  } else {
    unsetenv("DISPLAY");
  }
  testing::InitGoogleTest(&argc, argv);
  testing::AddGlobalTestEnvironment(new ReasonForNoWindows);
  return RUN_ALL_TESTS();
}
