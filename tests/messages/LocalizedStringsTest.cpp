#include "messages/LocalizedStrings.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "messages/ErrorDialogController.h"
#include "tests/support/EnvironmentGuard.h"

namespace {

const std::string kDownloadPage = "https://www.quillor.example/zanth/download";
const std::string kRequirementsPage = "https://www.quillor.example/zanth/system-requirements";

std::string text(int record, int id) { return wchartoNSString(allMessages[record].messages[id]); }

std::size_t count(const std::string& haystack, const std::string& needle) {
  std::size_t n = 0;
  for (std::size_t at = haystack.find(needle); at != std::string::npos;
       at = haystack.find(needle, at + 1)) {
    ++n;
  }
  return n;
}

// The user's preferences for one case; everything else that could steer them is unset.
class Preferences {
 public:
  Preferences(const char* language, const char* lang, const char* lcAll = nullptr) {
    environment_.set("LANGUAGE", language);
    environment_.set("LC_ALL", lcAll);
    environment_.set("LC_MESSAGES", nullptr);
    environment_.set("LANG", lang);
  }

 private:
  testsupport::EnvironmentGuard environment_;
};

TEST(LocalizedStrings, RecordsHaveTheirTagsAndLanguageIdentifiers) {
  const struct {
    const char* tag;
    std::uint32_t langId;
  } expected[] = {{"de", 0x0407}, {"en", 0x0409},      {"es", 0x0C0A},      {"fr", 0x040C},
                  {"it", 0x0410}, {"ja", 0x0411},      {"ko", 0x0412},      {"pt", 0x0416},
                  {"ru", 0x0419}, {"zh-Hans", 0x0804}, {"zh-Hant", 0x0404}, {"cs", 0x0405},
                  {"nl", 0x0413}, {"pl", 0x0415},      {"sv", 0x041D},      {"tr", 0x041F},
                  {"", 0}};
  static_assert(std::size(expected) == std::size(allMessages));
  for (int i = 0; i <= kDefaultMessageIndex; ++i) {
    EXPECT_STREQ(allMessages[i].tag, expected[i].tag) << "record " << i;
    EXPECT_EQ(allMessages[i].langId, expected[i].langId) << "record " << i;
    for (int id = 0; id < kMessageCount; ++id) {
      ASSERT_NE(allMessages[i].messages[id], nullptr) << "record " << i << " message " << id;
      EXPECT_FALSE(text(i, id).empty()) << "record " << i << " message " << id;
    }
  }
}

TEST(LocalizedStrings, EnglishTextsAreExactAndTheDefaultRecordSharesThem) {
  const std::string english[kMessageCount] = {
      "This application requires a version of Quillor Zanth which cannot be found.\nPlease "
      "download the latest version of the runtime from\n" +
          kDownloadPage + ",\nor contact the application author for an updated version.",
      "Something went wrong trying to install this application.\nPlease install the latest "
      "version of Quillor Zanth from\n" +
          kDownloadPage + " and then try again.",
      "OK",
      "Cancel",
      "Please wait.",
      "Unable to download Quillor Zanth. Make sure that you\u2019re connected to the network and "
      "try again.",
      "Unable to validate the downloaded version of Quillor Zanth.\nPlease install the latest "
      "version of Quillor Zanth from\n" +
          kDownloadPage + ",\nthen retry installing this application.",
      "Verifying download...",
      "This application requires an update to Quillor Zanth that is not available for your "
      "system. Please view the <a href='" +
          kRequirementsPage +
          "'>system requirements</a> for Quillor Zanth and update your system accordingly.",
      "Installing ",
      "This application requires an update to Quillor Zanth but downloading that update on your "
      "system is not allowed by your administrator. Please contact your administrator.",
  };
  for (int id = 0; id < kMessageCount; ++id) {
    EXPECT_EQ(text(1, id), english[id]) << "message " << id;
    EXPECT_EQ(allMessages[kDefaultMessageIndex].messages[id], allMessages[1].messages[id])
        << "message " << id << " of the default record is the English text itself";
  }
  EXPECT_EQ(allMessages[0].messages[BUTTON_OK], allMessages[1].messages[BUTTON_OK])
      << "identical texts are stored once";
}

TEST(LocalizedStrings, EveryLanguageFollowsTheEnglishStructure) {
  for (int i = 0; i < kLanguageCount; ++i) {
    const std::string tag = allMessages[i].tag;
    for (int id : {ERROR_RUNTIME_NOT_FOUND, ERROR_INSTALL_FAILED, ERROR_VALIDATION_FAILED}) {
      const std::string message = text(i, id);
      EXPECT_EQ(count(message, kDownloadPage), 1u) << tag << " message " << id;
      EXPECT_EQ(count(message, "\n" + kDownloadPage), 1u)
          << tag << " message " << id << ": the address starts its line";
      const std::size_t after = message.find(kDownloadPage) + kDownloadPage.size();
      EXPECT_TRUE(after == message.size() || message[after] == ' ' || message[after] == ',' ||
                  message[after] == '\n')
          << tag << " message " << id << ": the address is followed by text of its own";
    }

    // Exactly one complete link, to the requirements page, and no other markup anywhere.
    const platform::ui::AttributedString runs =
        ErrorDialogController::attributedStringFromMarkup(text(i, ERROR_UPDATE_UNAVAILABLE));
    ASSERT_EQ(runs.runs.size(), 3u) << tag << ": plain, link, plain";
    EXPECT_FALSE(runs.runs[0].link) << tag;
    EXPECT_EQ(runs.runs[1].link, kRequirementsPage) << tag;
    EXPECT_FALSE(runs.runs[2].link) << tag;
    for (int id = 0; id < kMessageCount; ++id) {
      const std::string message = text(i, id);
      const std::size_t links = id == ERROR_UPDATE_UNAVAILABLE ? 1 : 0;
      EXPECT_EQ(count(message, "<a href='"), links) << tag << " message " << id;
      EXPECT_EQ(count(message, "'>"), links) << tag << " message " << id;
      EXPECT_EQ(count(message, "</a>"), links) << tag << " message " << id;
    }

    // The window title is this text followed directly by the application name.
    const std::string installing = text(i, LABEL_INSTALLING);
    EXPECT_EQ(installing.back(), ' ') << tag << ": \"" << installing << "\"";

    if (i == 1) continue;
    for (int id : {ERROR_RUNTIME_NOT_FOUND, ERROR_INSTALL_FAILED, ERROR_DOWNLOAD_FAILED,
                   ERROR_VALIDATION_FAILED, ERROR_UPDATE_UNAVAILABLE, ERROR_UPDATE_NOT_ALLOWED}) {
      EXPECT_NE(text(i, id), text(1, id)) << tag << " message " << id << " is not translated";
    }
  }
}

TEST(LocalizedStrings, TextsAreStoredLittleEndian) {
  const std::uint8_t ok[] = {'O', 0, 0, 0, 'K', 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(std::vector<std::uint8_t>(allMessages[1].messages[BUTTON_OK],
                                      allMessages[1].messages[BUTTON_OK] + sizeof ok),
            std::vector<std::uint8_t>(ok, ok + sizeof ok));
}

TEST(LocalizedStrings, WideTextConversion) {
  const struct {
    std::vector<std::uint8_t> bytes;
    std::string utf8;
  } cases[] = {
      {{0, 0, 0, 0}, ""},
      {{'A', 0, 0, 0, 0, 0, 0, 0}, "A"},
      {{0xE9, 0, 0, 0, 0x19, 0x20, 0, 0, 0x42, 0x4E, 0, 0, 0, 0, 0, 0}, "\u00e9\u2019\u4e42"},
      {{0x00, 0xF6, 0x01, 0x00, 0, 0, 0, 0}, "\U0001F600"},
      // Not Unicode scalar values: a surrogate and a unit beyond U+10FFFF.
      {{0x00, 0xD8, 0, 0, 0, 0, 0x11, 0, 'x', 0, 0, 0, 0, 0, 0, 0}, "\uFFFD\uFFFDx"},
      // Read up to the first zero unit only, and as whole units: a zero byte inside a unit
      // does not end the text.
      {{0, 0x01, 0, 0, 0, 0, 0, 0, 'y', 0, 0, 0}, "\u0100"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(wchartoNSString(c.bytes.data()), c.utf8) << "expected " << c.utf8;
  }
  EXPECT_EQ(wchartoNSString(nullptr), "");
}

TEST(LocalizedStrings, FindMessageIndexComparesLiterally) {
  const struct {
    const char* tag;
    int index;
  } cases[] = {{"de", 0},       {"en", 1},   {"es", 2},         {"fr", 3},  {"it", 4},
               {"ja", 5},       {"ko", 6},   {"pt", 7},         {"ru", 8},  {"zh-Hans", 9},
               {"zh-Hant", 10}, {"cs", 11},  {"nl", 12},        {"pl", 13}, {"sv", 14},
               {"tr", 15},      {"EN", 16},  {"zh-hant", 16},   {"zh", 16}, {"en-US", 16},
               {"", 16},        {" en", 16}, {"zh-Hant-TW", 16}};
  for (const auto& c : cases) {
    bool found = c.index == 16;  // the opposite of what is expected
    EXPECT_EQ(FindMessageIndex(c.tag, found), c.index) << "tag \"" << c.tag << "\"";
    EXPECT_EQ(found, c.index != 16) << "tag \"" << c.tag << "\"";
  }
}

TEST(LocalizedStrings, TrimLastSubTagCutsOneSubtag) {
  const struct {
    const char* tag;
    const char* result;
    bool trimmed;
  } cases[] = {{"zh-Hant-TW", "zh-Hant", true},
               {"pt-BR", "pt", true},
               {"de", "de", false},
               {"", "", false},
               {"-", "", true},
               {"en-", "en", true},
               {"-US", "", true}};
  for (const auto& c : cases) {
    bool trimmed = !c.trimmed;
    EXPECT_EQ(TrimLastSubTag(c.tag, trimmed), c.result) << "tag \"" << c.tag << "\"";
    EXPECT_EQ(trimmed, c.trimmed) << "tag \"" << c.tag << "\"";
  }
}

TEST(LocalizedStrings, LanguageChoiceFromTheEnvironment) {
  const struct {
    const char* language;  // $LANGUAGE
    const char* lang;      // $LANG
    const char* lcAll;     // $LC_ALL
    int index;
  } cases[] = {
      {"fr_CA:de", "en_US.UTF-8", nullptr, 3},     // fr-CA trimmed to fr; de never looked at
      {"zh-Hant-HK", "en_US.UTF-8", nullptr, 10},  // one subtag cut: zh-Hant
      {"zh_HK", "en_US.UTF-8", nullptr, 10},       // canonical zh-Hant-HK
      {"zh_TW.UTF-8", "en_US.UTF-8", nullptr, 10},
      {"zh_CN", "en_US.UTF-8", nullptr, 9},
      {"zh-Hans", "en_US.UTF-8", nullptr, 9},
      {"zh", "en_US.UTF-8", nullptr, 16},          // alone: nothing matches
      {"zh:ko", "en_US.UTF-8", nullptr, 6},        // the next preference decides
      {"da:fi", "en_US.UTF-8", nullptr, 16},       // only languages outside the table
      {"da_DK:de_AT", "en_US.UTF-8", nullptr, 0},  // passed over in favour of the next one
      {"EN", "en_US.UTF-8", nullptr, 16},          // literal comparison keeps the case
      {"de-AT-1996", "en_US.UTF-8", nullptr, 16},  // never two subtags cut
      {"pt_BR", "en_US.UTF-8", nullptr, 7},
      {"sr_RS@latin:sv_SE", "en_US.UTF-8", nullptr, 14},
      {nullptr, "ja_JP.UTF-8", nullptr, 5},        // no $LANGUAGE: the locale itself
      {nullptr, "tr_TR.UTF-8", "ru_RU.UTF-8", 8},  // LC_ALL before LANG
      {"fr", "C.UTF-8", nullptr, 16},              // the C locale ignores $LANGUAGE
      {"fr", "de_DE.UTF-8", "C", 16},
      {nullptr, nullptr, nullptr, 16},  // no preference at all
      {nullptr, "POSIX", nullptr, 16},
  };
  for (const auto& c : cases) {
    Preferences preferences(c.language, c.lang, c.lcAll);
    EXPECT_EQ(GetFatalErrorMessageIndex(), c.index)
        << "LANGUAGE=" << (c.language ? c.language : "(unset)")
        << " LANG=" << (c.lang ? c.lang : "(unset)")
        << " LC_ALL=" << (c.lcAll ? c.lcAll : "(unset)");
  }
}

TEST(LocalizedStrings, MessagesOutsideTheCatalogueAreAbsent) {
  embeddedStringLocale = -1;
  Preferences preferences(nullptr, nullptr);
  for (int id : {-1, 11, 12, INT_MIN, INT_MAX}) {
    EXPECT_FALSE(LocalizedStrings::getEmbeddedMessage(id)) << "id " << id;
  }
  EXPECT_EQ(LocalizedStrings::getEmbeddedMessage(LABEL_INSTALLING), "Installing ");
}

TEST(LocalizedStrings, UnmatchedLanguagesGiveEveryMessageInEnglish) {
  embeddedStringLocale = -1;
  Preferences preferences("da:fi", "en_US.UTF-8");
  for (int id = 0; id < kMessageCount; ++id) {
    EXPECT_EQ(LocalizedStrings::getEmbeddedMessage(id), text(1, id)) << "message " << id;
  }
  EXPECT_EQ(embeddedStringLocale, kDefaultMessageIndex);
}

TEST(LocalizedStrings, LanguageIsChosenOnceOnTheFirstRequest) {
  embeddedStringLocale = -1;
  {
    Preferences preferences("fr_CA:de", "en_US.UTF-8");
    EXPECT_EQ(LocalizedStrings::getEmbeddedMessage(BUTTON_CANCEL), "Annuler");
  }
  Preferences changed("de", "de_DE.UTF-8");
  EXPECT_EQ(LocalizedStrings::getEmbeddedMessage(BUTTON_CANCEL), "Annuler")
      << "later changes to the preferences are not seen";
  EXPECT_EQ(LocalizedStrings::getEmbeddedMessage(LABEL_PLEASE_WAIT), "Veuillez patienter.");
}

}  // namespace
