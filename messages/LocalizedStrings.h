#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Message identifiers: the index of a message in every record of the catalogue.
inline constexpr int ERROR_RUNTIME_NOT_FOUND = 0;
inline constexpr int ERROR_INSTALL_FAILED = 1;
inline constexpr int BUTTON_OK = 2;
inline constexpr int BUTTON_CANCEL = 3;
inline constexpr int LABEL_PLEASE_WAIT = 4;
inline constexpr int ERROR_DOWNLOAD_FAILED = 5;
inline constexpr int ERROR_VALIDATION_FAILED = 6;
inline constexpr int LABEL_VERIFYING_DOWNLOAD = 7;
inline constexpr int ERROR_UPDATE_UNAVAILABLE = 8;
inline constexpr int LABEL_INSTALLING = 9;
inline constexpr int ERROR_UPDATE_NOT_ALLOWED = 10;

inline constexpr int kMessageCount = 11;

// The progress window's texts, numbered after the eleven messages above and looked up in the
// same chosen language (LocalizedStrings::getStatusMessage). Texts with a number in them hold
// one form per plural category of the language, separated by "|"; "%1", "%2", "%3" stand for
// the values filled in.
inline constexpr int STATUS_OF_TOTAL = 11;           // "%1 of %2 (%3)": received, total, rate
inline constexpr int STATUS_RECEIVED = 12;           // "%1 received": no total is known
inline constexpr int STATUS_WITH_TIME_LEFT = 13;     // "%1, %2": the line, then the time left
inline constexpr int STATUS_SECONDS_LEFT = 14;       // "about %1 seconds left", plural forms
inline constexpr int STATUS_MINUTES_LEFT = 15;       // "about %1 minutes left", plural forms
inline constexpr int STATUS_HOURS_LEFT = 16;         // "about %1 hours left", plural forms
inline constexpr int STATUS_CONNECTION_LOST = 17;    // the pause before a retry, plural forms
inline constexpr int FORMAT_DECIMAL_SEPARATOR = 18;  // "." or ","
inline constexpr int FORMAT_SIZE = 19;               // "%1 %2": a number, then its unit
inline constexpr int FORMAT_UNITS = 20;              // "B|kB|MB|GB" (powers of 1000)
inline constexpr int FORMAT_RATE = 21;               // "%1/s": a size per second
inline constexpr int ACCESSIBLE_PROGRESS_BAR = 22;   // the bar's name for screen readers
inline constexpr int ACCESSIBLE_STATUS_LINE = 23;    // the status line's name
inline constexpr int kFirstStatusMessage = 11;
inline constexpr int kStatusMessageCount = 13;
inline constexpr int kLanguageCount = 16;
// The record chosen when no preference matches: English texts under an empty tag.
inline constexpr int kDefaultMessageIndex = 16;

// A text of the catalogue: 32-bit code points stored little-endian (4 bytes each, least
// significant first), ended by a zero code point.
using EmbeddedText = const std::uint8_t*;

// One language of the catalogue.
struct EmbeddedMessages {
  const char* tag;       // language tag compared with the user's preferences
  std::uint32_t langId;  // the Windows language identifier of the same language (data only)
  EmbeddedText messages[kMessageCount];  // indexed by message id; null when absent
};

// The catalogue: records 0 to 15 are the languages, record 16 the default.
extern const EmbeddedMessages allMessages[kLanguageCount + 1];

// How a language chooses among the plural forms of a text for a count n.
enum class PluralRule {
  None,          // one form whatever n (Japanese, Korean, Chinese, Turkish after a numeral)
  OneOther,      // n == 1, else the other form
  ZeroOneOther,  // n is 0 or 1, else the other form (French, Brazilian Portuguese)
  Russian,       // ends in 1 (not 11); ends in 2-4 (not 12-14); the rest
  Czech,         // 1; 2-4; the rest
  Polish,        // 1; ends in 2-4 (not 12-14); the rest
};

// The progress window's texts of one language, record for record beside allMessages.
struct StatusMessages {
  PluralRule pluralRule;
  EmbeddedText messages[kStatusMessageCount];  // message id kFirstStatusMessage + i
};
extern const StatusMessages allStatusMessages[kLanguageCount + 1];

// The record chosen for this process: -1 until the first request chooses it.
extern int embeddedStringLocale;

// Access to the catalogue.
class LocalizedStrings {
 public:
  // Message id in the language that best matches the user's preferences, or nothing when id
  // is outside 0..10 or the chosen record lacks it. The first call chooses the language for
  // the rest of the process.
  static std::optional<std::string> getEmbeddedMessage(int id);
  // The progress window's text id (STATUS_OF_TOTAL .. ACCESSIBLE_STATUS_LINE) in the same
  // language, or nothing for any other id.
  static std::optional<std::string> getStatusMessage(int id);
};

// The record index (0..16) for the user's language preferences: the first preference that
// matches a tag exactly or after cutting its last subtag, else the default record 16.
int GetFatalErrorMessageIndex();

// The index 0..15 of the language whose tag equals tag literally (case-sensitive), with
// found = true; 16 with found = false when none does.
int FindMessageIndex(const std::string& tag, bool& found);

// tag without its last subtag (the text before the last "-"), with trimmed = true; tag itself
// with trimmed = false when it holds no "-".
std::string TrimLastSubTag(const std::string& tag, bool& trimmed);

// The UTF-8 string of a zero-terminated UTF-32 little-endian text (the terminator excluded).
// A unit that is not a Unicode scalar value becomes U+FFFD.
std::string wchartoNSString(EmbeddedText text);
