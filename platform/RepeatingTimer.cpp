#include "platform/RepeatingTimer.h"

#include <glib.h>

namespace platform {

RepeatingTimer::RepeatingTimer(std::chrono::milliseconds interval, std::function<void()> action)
    : action_(std::move(action)) {
  source_ = g_timeout_add(
      static_cast<guint>(interval.count()),
      [](gpointer self) -> gboolean {
        static_cast<RepeatingTimer*>(self)->action_();
        return G_SOURCE_CONTINUE;
      },
      this);
}

RepeatingTimer::~RepeatingTimer() { g_source_remove(source_); }

}  // namespace platform
