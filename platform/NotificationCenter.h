#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Notification.h"

namespace platform {

// The process-wide dispatcher of notifications by name. Observers register a handler for a
// name from any sender and are identified by an opaque owner pointer, which removeObserver uses.
class NotificationCenter {
 public:
  using Handler = std::function<void(const Notification&)>;

  static NotificationCenter& defaultCenter();

  void addObserver(const void* observer, std::string name, Handler handler);
  // Removes every registration of observer, for all names. Safe to call from a handler.
  void removeObserver(const void* observer);
  // Delivers the notification synchronously to every observer of its name, in registration
  // order. Observers added or removed during delivery take effect for later notifications.
  void postNotification(const Notification& notification);

 private:
  struct Registration {
    const void* observer;
    std::string name;
    std::shared_ptr<Handler> handler;
  };
  std::vector<Registration> registrations_;
};

}  // namespace platform
