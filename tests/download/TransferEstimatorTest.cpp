#include "download/TransferEstimator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "download/ProgressStatus.h"

namespace {

using namespace std::chrono_literals;
using std::chrono::seconds;

// A clock that moves only when the test says so.
struct ManualClock {
  std::chrono::steady_clock::time_point now{};
  TransferEstimator::Clock clock() {
    return [this] { return now; };
  }
};

// Feeds the estimator rate bytes per second for duration, in steps of 500 ms.
void transfer(ManualClock& clock, TransferEstimator& estimator, std::int64_t& received, double rate,
              std::chrono::milliseconds duration) {
  for (auto t = 0ms; t < duration; t += 500ms) {
    clock.now += 500ms;
    received += static_cast<std::int64_t>(rate / 2);
    estimator.update(received);
  }
}

TEST(TransferEstimator, FollowsARateThatChangesStallsAndRecovers) {
  ManualClock clock;
  TransferEstimator estimator(clock.clock());
  std::int64_t received = 0;
  estimator.start(30'000'000);
  EXPECT_FALSE(estimator.bytesPerSecond());

  transfer(clock, estimator, received, 200'000, 2500ms);
  EXPECT_NEAR(*estimator.bytesPerSecond(), 200'000, 1);
  EXPECT_FALSE(estimator.timeLeft()) << "before 3 s";
  transfer(clock, estimator, received, 200'000, 2500ms);
  EXPECT_FALSE(estimator.timeLeft()) << "5 s but below 5 % of the file";
  transfer(clock, estimator, received, 200'000, 2500ms);
  ASSERT_TRUE(estimator.timeLeft()) << "past 3 s and 5 %";
  EXPECT_EQ(*estimator.timeLeft(), seconds(120)) << "142.5 s reads as 2 minutes";

  // Twice as fast: the rate follows over several seconds, not at once.
  transfer(clock, estimator, received, 400'000, 1000ms);
  EXPECT_LT(*estimator.bytesPerSecond(), 300'000) << "smoothed, not jumping";
  transfer(clock, estimator, received, 400'000, 20s);
  EXPECT_NEAR(*estimator.bytesPerSecond(), 400'000, 5'000);
  const seconds beforeStall = *estimator.timeLeft();

  // A stall: the same count again and again. The estimate grows, then gives up.
  transfer(clock, estimator, received, 0, 5s);
  ASSERT_TRUE(estimator.timeLeft());
  EXPECT_GT(*estimator.timeLeft(), beforeStall);
  transfer(clock, estimator, received, 0, 60s);
  EXPECT_FALSE(estimator.timeLeft()) << "no rate to speak of";

  // Recovery: the rate and the estimate come back.
  transfer(clock, estimator, received, 400'000, 20s);
  EXPECT_NEAR(*estimator.bytesPerSecond(), 400'000, 10'000);
  ASSERT_TRUE(estimator.timeLeft());
  EXPECT_LE(*estimator.timeLeft(), beforeStall);

  // A new file forgets the old one.
  estimator.start(-1);
  transfer(clock, estimator, received, 400'000, 10s);
  EXPECT_FALSE(estimator.timeLeft()) << "no total, no time left";
}

TEST(TransferEstimator, EstimateOnARoundingEdgeDoesNotFlap) {
  ManualClock clock;
  TransferEstimator::Timing timing;
  timing.smoothing = 1ms;  // the rate is the last window's, so the test sets the estimate
  timing.warmUp = 0ms;
  timing.minimumShare = 0.0;
  TransferEstimator estimator(clock.clock(), timing);
  estimator.start(1'000'000'000);
  std::int64_t received = 0;
  std::vector<std::int64_t> shown;
  for (int i = 0; i < 40; ++i) {
    // Windows of 500 ms whose estimates alternate between 17.2 s and 17.8 s: plain rounding
    // to 5 s steps would say 15, 20, 15, 20, ...
    const double target = i % 2 == 0 ? 17.2 : 17.8;
    const auto remaining = static_cast<double>(1'000'000'000 - received);
    received += std::llround(remaining / (2 * target + 1));
    clock.now += 500ms;
    estimator.update(received);
    ASSERT_TRUE(estimator.timeLeft());
    if (shown.empty() || shown.back() != estimator.timeLeft()->count()) {
      shown.push_back(estimator.timeLeft()->count());
    }
  }
  EXPECT_EQ(shown.size(), 1u) << "changed " << shown.size() - 1 << " times";

  // A real change moves it: the estimate falls steadily, and the value follows in steps.
  for (int i = 0; i < 20; ++i) {
    const double target = std::max(17.2 - i, 0.5);
    const auto remaining = static_cast<double>(1'000'000'000 - received);
    received += std::llround(remaining / (2 * target + 1));
    clock.now += 500ms;
    estimator.update(received);
  }
  EXPECT_EQ(*estimator.timeLeft(), seconds(5)) << "the smallest value is 5 s";
}

TEST(ProgressStatus, LineChangesAtMostOnceASecondAndRetriesAtOnce) {
  ManualClock clock;
  ProgressStatus status(clock.clock(), 1000ms);
  std::vector<std::string> retries;
  status.setWording({[](const ProgressReport& r) {
                       return std::to_string(r.received) + "/" + std::to_string(r.total) + " " +
                              std::to_string(std::lround(r.bytesPerSecond)) +
                              (r.timeLeft ? " " + std::to_string(r.timeLeft->count()) : "");
                     },
                     [](std::chrono::milliseconds pause) {
                       return "retry in " + std::to_string(pause.count());
                     }});
  status.begin(1'000'000);
  EXPECT_FALSE(status.received(0)) << "no rate yet";
  std::vector<std::string> lines;
  std::int64_t received = 0;
  for (int i = 0; i < 40; ++i) {  // 4 s in steps of 100 ms, 5000 bytes each
    clock.now += 100ms;
    received += 5000;
    if (auto line = status.received(received)) lines.push_back(*line);
  }
  ASSERT_EQ(lines.size(), 4u) << "once a second over 4 s";
  EXPECT_EQ(lines.front(), "25000/1000000 50000");
  EXPECT_EQ(lines[2], "125000/1000000 50000");
  EXPECT_EQ(lines.back(), "175000/1000000 50000 15") << "the time left appears after 3 s";

  // A retry says so at once; the count that follows goes on from where it was.
  clock.now += 200ms;
  EXPECT_EQ(status.retrying(2000ms), "retry in 2000");
  EXPECT_EQ(status.line(), "retry in 2000");
  clock.now += 1500ms;
  EXPECT_FALSE(status.received(received)) << "the retry's words stay until bytes come";
  clock.now += 500ms;
  const auto resumed = status.received(received + 5000);
  ASSERT_TRUE(resumed);
  EXPECT_EQ(resumed->substr(0, 14), "205000/1000000");

  // A new file empties the line; without a total the bytes show at once.
  status.begin(-1);
  EXPECT_EQ(status.line(), "");
  EXPECT_EQ(status.received(10), "10/-1 0");
}

}  // namespace
