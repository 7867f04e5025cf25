#pragma once

#include <memory>

#include "platform/ui/Window.h"

namespace platform::ui {

// Receives the application's life-cycle events.
class ApplicationDelegate {
 public:
  virtual ~ApplicationDelegate() = default;
  // Called once from the main loop, after the main interface has been loaded.
  virtual void applicationDidFinishLaunching() = 0;
};

// The objects of the program's main interface, kept alive until the process ends.
class MainInterface {
 public:
  virtual ~MainInterface() = default;
  virtual ApplicationDelegate& delegate() = 0;
};

// Defined by the program: builds the objects of its main interface (as an interface resource
// would) and returns their owner. Called once by applicationMain.
std::unique_ptr<MainInterface> loadMainInterface();

// The code runModalForWindow returns when the loop ended without stopModalWithCode: the window
// was closed by the user or destroyed from outside, or no display was there to show it on.
inline constexpr int kModalResponseAbort = -1001;

// The one application object: the main loop of the process.
class Application {
 public:
  static Application& shared();

  // Runs the main loop until terminate is called.
  void run();
  // Flushes the standard streams, closes the connection to the system log and ends the process
  // with status code, without running static destructors or exit handlers (the objects they
  // would destroy may be in use further up the stack). Never returns.
  [[noreturn]] void terminate(int code);

  // Whether windows are shown on a display (false: the headless backend is in use).
  bool hasDisplay() const;
  // Shows window and runs a nested loop, modal for the whole application, until
  // stopModalWithCode is called; returns that code (kModalResponseAbort when the user closed
  // the window instead, or it was destroyed from outside). The window stays up afterwards.
  // Headless, the window's title and texts go to standard error and kModalResponseAbort is returned
  // at once.
  int runModalForWindow(Window& window);
  // Ends the innermost modal loop with code; does nothing when no modal loop runs.
  void stopModalWithCode(int code);

 private:
  Application() = default;
};

// The program's entry: gives the toolkit its data folders (ToolkitEnvironment.h), keeps the
// arguments, chooses the UI backend (the toolkit when a display opens, otherwise headless; the
// first use of any ui class chooses it the same way when this function is not used), loads the
// main interface, tells the delegate that launching has finished (from the main loop) and runs
// the loop. Returns only if the loop ends without terminate.
int applicationMain(int argc, char** argv);

}  // namespace platform::ui
