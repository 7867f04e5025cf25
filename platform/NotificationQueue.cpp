#include "platform/NotificationQueue.h"

#include <glib.h>

#include "platform/NotificationCenter.h"

namespace platform {

NotificationQueue& NotificationQueue::defaultQueue() {
  static NotificationQueue sQueue;
  return sQueue;
}

void NotificationQueue::enqueueNotification(Notification notification, PostingStyle style) {
  if (style == PostingStyle::Now) {
    NotificationCenter::defaultCenter().postNotification(notification);
    return;
  }
  const int priority =
      style == PostingStyle::WhenIdle ? G_PRIORITY_DEFAULT_IDLE : G_PRIORITY_DEFAULT;
  g_idle_add_full(
      priority,
      [](gpointer data) -> gboolean {
        NotificationCenter::defaultCenter().postNotification(*static_cast<Notification*>(data));
        return G_SOURCE_REMOVE;
      },
      new Notification(std::move(notification)),
      [](gpointer data) { delete static_cast<Notification*>(data); });
}

}  // namespace platform
