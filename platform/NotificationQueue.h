#pragma once

#include "platform/Notification.h"

namespace platform {

// Posts notifications to the default centre later, from the main loop.
class NotificationQueue {
 public:
  enum class PostingStyle { WhenIdle = 1, Asap = 2, Now = 3 };

  static NotificationQueue& defaultQueue();

  // WhenIdle: delivered once the main loop has nothing more urgent to do; never inside this
  // call. Asap: delivered on the loop's next turn. Now: delivered before this call returns.
  void enqueueNotification(Notification notification, PostingStyle style);
};

}  // namespace platform
