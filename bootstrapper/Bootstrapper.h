#pragma once

#include "platform/ui/Application.h"

// The application delegate: checks the command line and takes the launch decision.
class Bootstrapper : public platform::ui::ApplicationDelegate {
 public:
  Bootstrapper() = default;

  // The launch decision, run once when the application has finished launching.
  void applicationDidFinishLaunching() override;
};
