#include "messages/StatusText.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

// text with "%1", "%2", "%3" replaced by the values, in one pass so a value is never read again.
std::string fill(const std::string& text, const std::array<std::string, 3>& values) {
  std::string out;
  out.reserve(text.size() + 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '3') {
      out += values[static_cast<std::size_t>(text[i + 1] - '1')];
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::vector<std::string> splitForms(const std::string& text) {
  std::vector<std::string> forms;
  std::size_t start = 0;
  for (std::size_t bar = text.find('|'); bar != std::string::npos; bar = text.find('|', start)) {
    forms.push_back(text.substr(start, bar - start));
    start = bar + 1;
  }
  forms.push_back(text.substr(start));
  return forms;
}

constexpr std::int64_t kUnitStep = 1000;

}  // namespace

StatusText StatusText::forChosenLanguage() {
  if (embeddedStringLocale == -1) embeddedStringLocale = GetFatalErrorMessageIndex();
  return StatusText(embeddedStringLocale);
}

std::string StatusText::text(int id) const {
  return wchartoNSString(allStatusMessages[record_].messages[id - kFirstStatusMessage]);
}

int StatusText::pluralForm(PluralRule rule, std::int64_t n) {
  const std::int64_t ones = n % 10;
  const std::int64_t tens = n % 100;
  const bool twoToFour = ones >= 2 && ones <= 4 && (tens < 12 || tens > 14);
  switch (rule) {
    case PluralRule::None:
      return 0;
    case PluralRule::OneOther:
      return n == 1 ? 0 : 1;
    case PluralRule::ZeroOneOther:
      return n == 0 || n == 1 ? 0 : 1;
    case PluralRule::Russian:
      if (ones == 1 && tens != 11) return 0;
      return twoToFour ? 1 : 2;
    case PluralRule::Czech:
      if (n == 1) return 0;
      return n >= 2 && n <= 4 ? 1 : 2;
    case PluralRule::Polish:
      if (n == 1) return 0;
      return twoToFour ? 1 : 2;
  }
  return 0;
}

std::string StatusText::counted(int id, std::int64_t n) const {
  const std::vector<std::string> forms = splitForms(text(id));
  const auto form = static_cast<std::size_t>(pluralForm(allStatusMessages[record_].pluralRule, n));
  return fill(forms[std::min(form, forms.size() - 1)], {std::to_string(n), "", ""});
}

std::string StatusText::size(std::int64_t bytes) const {
  const std::vector<std::string> units = splitForms(text(FORMAT_UNITS));
  bytes = std::max<std::int64_t>(bytes, 0);
  if (bytes < kUnitStep) return fill(text(FORMAT_SIZE), {std::to_string(bytes), units[0], ""});
  // Tenths of the unit, rounded; a size that rounds up to 1000.0 of a unit is shown in the next.
  std::size_t unit = 1;
  double scale = kUnitStep;
  auto tenths = std::llround(static_cast<double>(bytes) * 10.0 / scale);
  while (tenths >= kUnitStep * 10 && unit + 1 < units.size()) {
    ++unit;
    scale *= kUnitStep;
    tenths = std::llround(static_cast<double>(bytes) * 10.0 / scale);
  }
  const std::string number =
      std::to_string(tenths / 10) + text(FORMAT_DECIMAL_SEPARATOR) + std::to_string(tenths % 10);
  return fill(text(FORMAT_SIZE), {number, units[unit], ""});
}

std::string StatusText::rate(double bytesPerSecond) const {
  const auto bytes = static_cast<std::int64_t>(std::llround(std::max(bytesPerSecond, 0.0)));
  return fill(text(FORMAT_RATE), {size(bytes), "", ""});
}

std::string StatusText::timeLeft(std::chrono::seconds left) const {
  const std::int64_t seconds = std::max<std::int64_t>(left.count(), 1);
  if (seconds < 60) return counted(STATUS_SECONDS_LEFT, seconds);
  if (seconds < 3600) return counted(STATUS_MINUTES_LEFT, seconds / 60);
  return counted(STATUS_HOURS_LEFT, seconds / 3600);
}

std::string StatusText::progressLine(std::int64_t received, std::int64_t total,
                                     double bytesPerSecond,
                                     std::optional<std::chrono::seconds> left) const {
  if (total <= 0) return fill(text(STATUS_RECEIVED), {size(received), "", ""});
  std::string line =
      fill(text(STATUS_OF_TOTAL), {size(received), size(total), rate(bytesPerSecond)});
  if (!left) return line;
  return fill(text(STATUS_WITH_TIME_LEFT), {line, timeLeft(*left), ""});
}

std::string StatusText::retryLine(std::chrono::milliseconds pause) const {
  const auto seconds = std::chrono::ceil<std::chrono::seconds>(pause).count();
  return counted(STATUS_CONNECTION_LOST, std::max<std::int64_t>(seconds, 1));
}
