#include "platform/NotificationCenter.h"

#include <algorithm>

namespace platform {

NotificationCenter& NotificationCenter::defaultCenter() {
  static NotificationCenter sCenter;
  return sCenter;
}

void NotificationCenter::addObserver(const void* observer, std::string name, Handler handler) {
  registrations_.push_back(
      {observer, std::move(name), std::make_shared<Handler>(std::move(handler))});
}

void NotificationCenter::removeObserver(const void* observer) {
  std::erase_if(registrations_,
                [observer](const Registration& r) { return r.observer == observer; });
}

void NotificationCenter::postNotification(const Notification& notification) {
  // Snapshot the matching handlers first: a handler may add or remove observers, and the
  // shared handler keeps a removed observer's function alive until its call has returned.
  std::vector<std::pair<const void*, std::shared_ptr<Handler>>> targets;
  for (const Registration& r : registrations_) {
    if (r.name == notification.name) targets.emplace_back(r.observer, r.handler);
  }
  for (const auto& target : targets) {
    // A plain reference, not a structured binding: lambdas may capture those in every compiler.
    const std::shared_ptr<Handler>& handler = target.second;
    bool stillRegistered = std::any_of(registrations_.begin(), registrations_.end(),
                                       [&](const Registration& r) { return r.handler == handler; });
    if (stillRegistered) (*handler)(notification);
  }
}

}  // namespace platform
