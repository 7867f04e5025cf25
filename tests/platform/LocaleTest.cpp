#include "platform/Locale.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/EnvironmentGuard.h"

namespace {

TEST(Locale, CanonicalIdentifiers) {
  const struct {
    const char* given;
    const char* canonical;
  } cases[] = {
      {"de", "de"},
      {"de_DE", "de-DE"},
      {"de_DE.UTF-8", "de-DE"},
      {"fr_CA.ISO-8859-1@euro", "fr-CA"},
      {"sr_RS@latin", "sr-RS"},
      {"ca_ES@valencia.UTF-8", "ca-ES"},
      {"pt_BR", "pt-BR"},
      {"zh_TW", "zh-Hant-TW"},
      {"zh_TW.UTF-8", "zh-Hant-TW"},
      {"zh_HK", "zh-Hant-HK"},
      {"zh-MO", "zh-Hant-MO"},
      {"zh_CN.GB18030", "zh-Hans-CN"},
      {"zh_SG", "zh-Hans-SG"},
      {"zh", "zh"},
      {"zh_Hant_TW", "zh-Hant-TW"},
      {"zh-Hans", "zh-Hans"},
      {"zh_XX", "zh-XX"},
      {"EN", "EN"},
      {"en_us", "en-us"},
      {"C", "C"},
      {"C.UTF-8", "C"},
      {"POSIX", "POSIX"},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::canonicalLocaleIdentifier(c.given), c.canonical) << "given " << c.given;
  }
}

TEST(Locale, PreferredLanguagesFromTheEnvironment) {
  using List = std::vector<std::string>;
  const struct {
    const char* language;
    const char* lcAll;
    const char* lcMessages;
    const char* lang;
    List expected;
  } cases[] = {
      // $LANGUAGE counts only under a locale that is not C.
      {"fr_CA:de", nullptr, nullptr, "en_US.UTF-8", List{"fr_CA", "de"}},
      {"fr_CA::de:", nullptr, nullptr, "en_US.UTF-8", List{"fr_CA", "de"}},
      {"fr", nullptr, nullptr, "C", List{"C"}},
      {"fr", nullptr, nullptr, "C.UTF-8", List{"C.UTF-8"}},
      {"fr", nullptr, nullptr, "POSIX", List{"POSIX"}},
      {"fr", nullptr, nullptr, nullptr, List{}},
      {"fr", "C", nullptr, "de_DE.UTF-8", List{"C"}},
      // Without $LANGUAGE: the first non-empty of LC_ALL, LC_MESSAGES, LANG.
      {nullptr, "sv_SE.UTF-8", "de_DE", "en_US", List{"sv_SE.UTF-8"}},
      {nullptr, "", "de_DE", "en_US", List{"de_DE"}},
      {nullptr, nullptr, "", "en_US", List{"en_US"}},
      {"", nullptr, nullptr, "ja_JP.UTF-8", List{"ja_JP.UTF-8"}},
      {":", nullptr, nullptr, "ja_JP.UTF-8", List{"ja_JP.UTF-8"}},
      {nullptr, nullptr, nullptr, nullptr, List{}},
  };
  for (const auto& c : cases) {
    testsupport::EnvironmentGuard environment;
    environment.set("LANGUAGE", c.language);
    environment.set("LC_ALL", c.lcAll);
    environment.set("LC_MESSAGES", c.lcMessages);
    environment.set("LANG", c.lang);
    EXPECT_EQ(platform::preferredLanguages(), c.expected)
        << "LANGUAGE=" << (c.language ? c.language : "(unset)")
        << " LC_ALL=" << (c.lcAll ? c.lcAll : "(unset)")
        << " LC_MESSAGES=" << (c.lcMessages ? c.lcMessages : "(unset)")
        << " LANG=" << (c.lang ? c.lang : "(unset)");
  }
}

}  // namespace
