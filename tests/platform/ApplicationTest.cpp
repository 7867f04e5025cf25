#include "platform/ui/Application.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/ScratchFolder.h"

namespace {

// A static object of the kind the program's main interface holds, whose destruction leaves a
// trace behind.
struct DestructionMarker {
  std::string path;
  ~DestructionMarker() { std::ofstream(path) << "destroyed"; }
};

// Runs in the child of the death test: output still in the streams' buffers, a static object
// alive, then the end.
void writeBufferedAndTerminate(const std::string& markerPath) {
  static DestructionMarker sMarker{markerPath};
  static char buffer[256];
  std::setvbuf(stderr, buffer, _IOFBF, sizeof buffer);
  std::fputs("still buffered at the end", stderr);
  platform::ui::Application::shared().terminate(7);
}

TEST(Application, TerminateFlushesOutputButDestroysNothing) {
  // Forked, so the child writes its marker where this process looks for it.
  GTEST_FLAG_SET(death_test_style, "fast");
  testsupport::ScratchFolder scratch("zanth-terminate");
  const std::string marker = scratch.path("destroyed");
  EXPECT_EXIT(writeBufferedAndTerminate(marker), testing::ExitedWithCode(7),
              "still buffered at the end")
      << "the exit code or the buffered output was lost";
  EXPECT_FALSE(std::filesystem::exists(marker))
      << "a static object was destroyed while the process ended";
}

}  // namespace
