// Entry of test programs that exercise the headless UI backend: without a display variable the
// platform layer never touches the toolkit, whatever session the tests are started from.
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
