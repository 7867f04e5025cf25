#pragma once

#include <chrono>
#include <functional>
#include <memory>

namespace platform {

// Runs an action from the main loop every interval, until the timer is destroyed (which stops
// it at once: no call follows). The action may not destroy the timer.
class RepeatingTimer {
 public:
  RepeatingTimer(std::chrono::milliseconds interval, std::function<void()> action);
  ~RepeatingTimer();
  RepeatingTimer(const RepeatingTimer&) = delete;
  RepeatingTimer& operator=(const RepeatingTimer&) = delete;

 private:
  std::function<void()> action_;
  unsigned source_ = 0;
};

}  // namespace platform
