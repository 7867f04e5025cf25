#include "download/TransferEstimator.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kMinute = 60.0;
constexpr double kHour = 3600.0;
// Beyond this the estimate says nothing a person could use.
constexpr double kLongestEstimate = 24 * kHour;
// A displayed value gives way only when the estimate is this many steps away from it: rounding
// alone would flap between two values whenever the estimate sits on their midpoint.
constexpr double kHoldSteps = 0.75;

// The rounding step of a displayed value: 5 s under a minute, then minutes, then hours.
double stepOf(double shown) {
  if (shown < kMinute) return 5.0;
  if (shown < kHour) return kMinute;
  return kHour;
}

double rounded(double seconds) {
  const double fives = std::round(seconds / 5.0) * 5.0;
  if (fives < kMinute) return std::max(fives, 5.0);
  const double minutes = std::round(seconds / kMinute) * kMinute;
  if (minutes < kHour) return minutes;
  return std::round(seconds / kHour) * kHour;
}

double secondsOf(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

}  // namespace

TransferEstimator::TransferEstimator(Clock clock, Timing timing)
    : clock_(std::move(clock)), timing_(timing) {}

void TransferEstimator::start(std::int64_t total) {
  total_ = total;
  received_ = 0;
  started_ = clock_();
  windowStart_ = started_;
  windowStartBytes_ = 0;
  rate_.reset();
  shown_.reset();
}

void TransferEstimator::update(std::int64_t received) {
  const auto now = clock_();
  received_ = received;
  const double elapsed = secondsOf(now - windowStart_);
  if (now - windowStart_ < timing_.window || elapsed <= 0.0) return;

  // An exponential average weighted by time, so that many small windows and one long one
  // (the first after a stall) move the rate alike.
  const double measured =
      static_cast<double>(std::max<std::int64_t>(received - windowStartBytes_, 0)) / elapsed;
  if (rate_) {
    const double weight = 1.0 - std::exp(-elapsed / secondsOf(timing_.smoothing));
    *rate_ += weight * (measured - *rate_);
  } else {
    rate_ = measured;
  }
  windowStart_ = now;
  windowStartBytes_ = received;
  estimate(now);
}

void TransferEstimator::estimate(std::chrono::steady_clock::time_point now) {
  const bool meaningful =
      total_ > 0 && now - started_ >= timing_.warmUp &&
      static_cast<double>(received_) >= timing_.minimumShare * static_cast<double>(total_);
  if (!meaningful || !rate_ || *rate_ <= 0.0) {
    shown_.reset();
    return;
  }
  const double left = static_cast<double>(std::max<std::int64_t>(total_ - received_, 0)) / *rate_;
  if (left > kLongestEstimate) {
    shown_.reset();
    return;
  }
  const double candidate = rounded(left);
  if (shown_) {
    const auto shown = static_cast<double>(shown_->count());
    if (candidate == shown) return;
    const double hold = kHoldSteps * std::min(stepOf(shown), stepOf(candidate));
    if (std::abs(left - shown) < hold) return;
  }
  shown_ = std::chrono::seconds(static_cast<std::int64_t>(candidate));
}
