#pragma once

namespace platform::ui {

// A determinate progress bar on a 0 to 100 scale. Setting the value only records it; the
// toolkit redraws at its own pace, so frequent updates cost next to nothing.
class ProgressIndicator {
 public:
  virtual ~ProgressIndicator() = default;
  virtual void setDoubleValue(double value) = 0;
  virtual double doubleValue() const = 0;
};

}  // namespace platform::ui
