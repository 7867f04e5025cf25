// Notifications: synchronous delivery by name, and posting from the main loop when idle.
#include <glib.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/NotificationCenter.h"
#include "platform/NotificationQueue.h"
#include "tests/support/MainLoop.h"

namespace {

using platform::Notification;
using platform::NotificationCenter;
using platform::NotificationQueue;
using testsupport::drainLoop;

TEST(NotificationCenter, DeliversByNameToEveryObserverInOrder) {
  auto& center = NotificationCenter::defaultCenter();
  std::vector<std::string> seen;
  int a = 0, b = 0;
  center.addObserver(&a, "Done", [&](const Notification& n) {
    seen.push_back("a:" + n.name + ":" + (*n.value<bool>("ok") ? "yes" : "no"));
  });
  center.addObserver(&b, "Done", [&](const Notification&) { seen.push_back("b"); });
  center.addObserver(&b, "Other", [&](const Notification&) { seen.push_back("other"); });

  center.postNotification({"Done", &a, {{"ok", true}}});
  EXPECT_EQ(seen, (std::vector<std::string>{"a:Done:yes", "b"}));

  center.removeObserver(&b);
  seen.clear();
  center.postNotification({"Done", nullptr, {{"ok", false}}});
  center.postNotification({"Other", nullptr, {}});
  EXPECT_EQ(seen, (std::vector<std::string>{"a:Done:no"}));
  center.removeObserver(&a);
}

TEST(NotificationCenter, ObserverRemovedDuringDeliveryIsNotCalledAgain) {
  auto& center = NotificationCenter::defaultCenter();
  int first = 0, second = 0;
  int calls = 0;
  center.addObserver(&first, "X", [&](const Notification&) {
    ++calls;
    center.removeObserver(&first);
    center.removeObserver(&second);
  });
  center.addObserver(&second, "X", [&](const Notification&) { ++calls; });
  center.postNotification({"X", nullptr, {}});
  center.postNotification({"X", nullptr, {}});
  EXPECT_EQ(calls, 1);
}

TEST(NotificationQueue, WhenIdleIsNeverDeliveredInsideTheEnqueueingCall) {
  auto& center = NotificationCenter::defaultCenter();
  int owner = 0;
  std::vector<std::string> files;
  int deliveries = 0;
  center.addObserver(&owner, "Later", [&](const Notification& n) {
    ++deliveries;
    files = *n.value<std::vector<std::string>>("files");
  });

  NotificationQueue::defaultQueue().enqueueNotification(
      {"Later", &owner, {{"files", std::vector<std::string>{"/a", "/b"}}}},
      NotificationQueue::PostingStyle::WhenIdle);
  EXPECT_EQ(deliveries, 0) << "delivered inside the enqueueing call";

  drainLoop();
  EXPECT_EQ(deliveries, 1);
  EXPECT_EQ(files, (std::vector<std::string>{"/a", "/b"}));
  drainLoop();
  EXPECT_EQ(deliveries, 1) << "delivered more than once";
  center.removeObserver(&owner);
}

TEST(NotificationQueue, IdlePostsWaitForPendingWork) {
  auto& center = NotificationCenter::defaultCenter();
  int owner = 0;
  std::vector<std::string> order;
  center.addObserver(&owner, "Idle", [&](const Notification&) { order.push_back("idle"); });
  NotificationQueue::defaultQueue().enqueueNotification({"Idle", nullptr, {}},
                                                        NotificationQueue::PostingStyle::WhenIdle);
  // Work of normal priority queued afterwards still runs first.
  g_idle_add_full(
      G_PRIORITY_DEFAULT,
      [](gpointer data) -> gboolean {
        static_cast<std::vector<std::string>*>(data)->push_back("work");
        return G_SOURCE_REMOVE;
      },
      &order, nullptr);
  drainLoop();
  EXPECT_EQ(order, (std::vector<std::string>{"work", "idle"}));
  center.removeObserver(&owner);
}

TEST(Notification, ValueChecksKeyAndType) {
  Notification n{"N", nullptr, {{"flag", true}, {"name", std::string("x")}}};
  ASSERT_NE(n.value<bool>("flag"), nullptr);
  EXPECT_TRUE(*n.value<bool>("flag"));
  EXPECT_EQ(n.value<std::string>("flag"), nullptr);
  EXPECT_EQ(n.value<bool>("missing"), nullptr);
  EXPECT_EQ(*n.value<std::string>("name"), "x");
}

}  // namespace
