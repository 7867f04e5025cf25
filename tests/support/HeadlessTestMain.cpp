// Entry of test programs that exercise the headless UI backend. Without a display variable the
// platform layer never touches the toolkit, whatever session the tests are started from; with
// ZANTH_TEST_DISPLAY the display variable names that display instead, one that cannot be
// opened, and the backend must fall back to headless all the same.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/ui/Application.h"

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
  return RUN_ALL_TESTS();
}
