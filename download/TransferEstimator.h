#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

// The rate of one file's transfer and the time it has left, as a person should read them: the
// rate smoothed over several seconds, the time left only once it means something, rounded
// (5 s steps under a minute, then minutes, then hours), and held against small changes so
// that it never jumps back and forth between two values. Reads the time from the clock it is
// given, only when it is fed.
class TransferEstimator {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;

  struct Timing {
    // The time left is shown once the file has been on its way this long, and at least
    // minimumShare of it has arrived.
    std::chrono::milliseconds warmUp{3000};
    double minimumShare = 0.05;
    // How much of the rate a new measurement moves: after this long, about 63 %.
    std::chrono::milliseconds smoothing{5000};
    // The rate is measured over windows at least this long.
    std::chrono::milliseconds window{500};
  };

  explicit TransferEstimator(Clock clock, Timing timing);
  explicit TransferEstimator(Clock clock) : TransferEstimator(std::move(clock), Timing()) {}

  // A new file begins now, of total bytes (-1 or 0 when unknown); forgets the previous one.
  void start(std::int64_t total);
  // received bytes of the file have arrived by now (the same count again during a stall).
  void update(std::int64_t received);

  // Bytes per second, smoothed; none before the first window has been measured.
  std::optional<double> bytesPerSecond() const { return rate_; }
  // The rounded time left; none without a total, before the warm-up, during a stall that
  // leaves no rate to speak of, or beyond a day.
  std::optional<std::chrono::seconds> timeLeft() const { return shown_; }

 private:
  void estimate(std::chrono::steady_clock::time_point now);

  Clock clock_;
  Timing timing_;
  std::int64_t total_ = -1;
  std::int64_t received_ = 0;
  std::chrono::steady_clock::time_point started_;
  std::chrono::steady_clock::time_point windowStart_;
  std::int64_t windowStartBytes_ = 0;
  std::optional<double> rate_;
  std::optional<std::chrono::seconds> shown_;
};
