#pragma once

#include "platform/ui/Accessible.h"

namespace platform::ui {

// A progress bar on a 0 to 100 scale. Setting the value only records it; the toolkit redraws
// at its own pace, so frequent updates cost next to nothing. An indeterminate bar shows that
// work goes on without saying how far it has come (it pulses) and ignores its value until it
// is made determinate again.
class ProgressIndicator {
 public:
  virtual ~ProgressIndicator() = default;
  virtual Accessible& accessible() = 0;
  virtual const Accessible& accessible() const = 0;
  virtual void setDoubleValue(double value) = 0;
  virtual double doubleValue() const = 0;
  virtual void setIndeterminate(bool indeterminate) = 0;
  virtual bool isIndeterminate() const = 0;
};

}  // namespace platform::ui
