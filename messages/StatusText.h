#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "messages/LocalizedStrings.h"

// The texts of the progress window's status line in one language of the catalogue: sizes,
// rates and times as that language writes them (its decimal separator, its units, its plural
// forms).
class StatusText {
 public:
  // The language the catalogue chose for this process (see LocalizedStrings).
  static StatusText forChosenLanguage();
  // record is an index of allStatusMessages (0 to 16).
  explicit StatusText(int record) : record_(record) {}

  // "12.4 MB": bytes below 1000 as a whole number, larger sizes in kB, MB or GB (powers of
  // 1000) with one decimal.
  std::string size(std::int64_t bytes) const;
  // "3.1 MB/s".
  std::string rate(double bytesPerSecond) const;
  // "about 15 seconds left": seconds under a minute, then whole minutes, then whole hours.
  std::string timeLeft(std::chrono::seconds left) const;
  // The status line: "12.4 MB of 48.0 MB (3.1 MB/s), about 15 seconds left" when the total is
  // known (total > 0), the time left only when given; "12.4 MB received" without a total.
  std::string progressLine(std::int64_t received, std::int64_t total, double bytesPerSecond,
                           std::optional<std::chrono::seconds> left) const;
  // "Connection lost. Trying again in 4 seconds." (pause rounded up to whole seconds).
  std::string retryLine(std::chrono::milliseconds pause) const;

  // The index of the plural form that rule uses for n (0 for the first form).
  static int pluralForm(PluralRule rule, std::int64_t n);

 private:
  std::string text(int id) const;
  // The form of the "|"-separated text id for count n, with n in place of "%1".
  std::string counted(int id, std::int64_t n) const;

  int record_;
};
