#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "download/TransferEstimator.h"

// What the status line under the progress bar reports about the file on its way.
struct ProgressReport {
  std::int64_t received = 0;
  std::int64_t total = -1;  // -1 when the response announced no length
  double bytesPerSecond = 0.0;
  std::optional<std::chrono::seconds> timeLeft;  // rounded; none until it means something
};

// The status line of the progress window: fed with the bytes of the current file, it says when
// the line is to change and to what, at most once per interval so that a screen reader
// following it is not flooded. The words come from whoever knows the user's language.
class ProgressStatus {
 public:
  using Clock = TransferEstimator::Clock;
  struct Wording {
    std::function<std::string(const ProgressReport&)> progress;
    // The line during the pause before a transfer that broke off is tried again.
    std::function<std::string(std::chrono::milliseconds pause)> retry;
  };

  ProgressStatus(Clock clock, std::chrono::milliseconds interval,
                 TransferEstimator::Timing timing = {});
  // The steady clock, a change at most once a second.
  ProgressStatus();

  // Without wording the line stays empty.
  void setWording(Wording wording) { wording_ = std::move(wording); }
  // A new file of total bytes (-1 when unknown) begins; the line is emptied.
  void begin(std::int64_t total);
  // received bytes of the file have arrived (the same count again while nothing comes, so the
  // rate and the time left follow a stall). The new line when it is due and differs from the
  // current one; nothing otherwise. With a total the line waits for a first measured rate; after
  // a retry it keeps the retry's words until bytes come again.
  [[nodiscard]] std::optional<std::string> received(std::int64_t received);
  // The transfer broke off and is tried again after pause: the line says so at once, whatever
  // the interval, since it reports an event rather than a count. Empty without wording.
  [[nodiscard]] std::string retrying(std::chrono::milliseconds pause);
  // The line as last reported.
  const std::string& line() const { return line_; }
  // The shortest time between two changes of the line.
  std::chrono::milliseconds interval() const { return interval_; }

 private:
  Clock clock_;
  std::chrono::milliseconds interval_;
  TransferEstimator estimator_;
  Wording wording_;
  std::int64_t total_ = -1;
  std::int64_t received_ = 0;
  bool retrying_ = false;  // the line tells of a retry that no bytes have followed yet
  std::string line_;
  std::optional<std::chrono::steady_clock::time_point> lastChange_;
};
