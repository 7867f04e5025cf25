#include "download/ProgressStatus.h"

#include <utility>

namespace {

constexpr std::chrono::milliseconds kLineInterval{1000};

std::chrono::steady_clock::time_point steadyNow() { return std::chrono::steady_clock::now(); }

}  // namespace

ProgressStatus::ProgressStatus(Clock clock, std::chrono::milliseconds interval,
                               TransferEstimator::Timing timing)
    : clock_(clock), interval_(interval), estimator_(std::move(clock), timing) {}

ProgressStatus::ProgressStatus() : ProgressStatus(steadyNow, kLineInterval) {}

void ProgressStatus::begin(std::int64_t total) {
  total_ = total;
  received_ = 0;
  retrying_ = false;
  estimator_.start(total);
  line_.clear();
  lastChange_.reset();
}

std::optional<std::string> ProgressStatus::received(std::int64_t received) {
  estimator_.update(received);
  if (retrying_ && received == received_) return std::nullopt;
  retrying_ = false;
  received_ = received;
  if (!wording_.progress) return std::nullopt;
  const auto rate = estimator_.bytesPerSecond();
  if (total_ > 0 && !rate) return std::nullopt;
  const auto now = clock_();
  if (lastChange_ && now - *lastChange_ < interval_) return std::nullopt;

  ProgressReport report;
  report.received = received;
  report.total = total_;
  report.bytesPerSecond = rate.value_or(0.0);
  report.timeLeft = estimator_.timeLeft();
  std::string line = wording_.progress(report);
  if (line == line_) return std::nullopt;
  line_ = std::move(line);
  lastChange_ = now;
  return line_;
}

std::string ProgressStatus::retrying(std::chrono::milliseconds pause) {
  retrying_ = true;
  line_ = wording_.retry ? wording_.retry(pause) : std::string();
  lastChange_ = clock_();
  return line_;
}
