#include "platform/SuggestedFilename.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(SuggestedFilename, ReadsContentDispositionWithItsQuotingRules) {
  const struct {
    std::string header;
    std::string name;
  } cases[] = {
      {R"(attachment; filename="a;b.bin")", "a;b.bin"},
      {R"(attachment; filename="say \"hi\".txt"; size=3)", R"(say "hi".txt)"},
      {R"(attachment; name="filename=evil.bin"; filename=real.bin)", "real.bin"},
      {"attachment; filename=token.bin; size=10", "token.bin"},
      {R"(attachment; filename = "spaced.bin" ; x=y)", "spaced.bin"},
      {R"(attachment; filename="unterminated.bin)", "unterminated.bin"},
      {R"(ATTACHMENT; FileName="upper.bin")", "upper.bin"},
      // filename* wins wherever it stands; its charset and escapes are checked.
      {"attachment; filename=plain.bin; filename*=UTF-8''na%C3%AFve.bin", "na\u00efve.bin"},
      {"attachment; FILENAME*=utf-8'fr'caf%C3%A9%20au%20lait.txt; filename=plain.bin",
       "caf\u00e9 au lait.txt"},
      {"attachment; filename*=UTF-8''bad%G1.bin; filename=fallback.bin", "fallback.bin"},
      {"attachment; filename*=UTF-8''cut%C3; filename=fallback.bin", "fallback.bin"},
      {"attachment; filename*=UTF-8''nul%00.bin; filename=fallback.bin", "fallback.bin"},
      {"attachment; filename*=ISO-8859-1''caf%E9.bin; filename=cafe.bin", "cafe.bin"},
      {"attachment; filename*=UTF-8''; filename=fallback.bin", "fallback.bin"},
      // Whatever the header says, the result is one plain name.
      {R"(attachment; filename="../../etc/passwd")", "passwd"},
      {"attachment; filename*=UTF-8''..%2F..%2Fx.bin", "x.bin"},
      {R"(attachment; filename="..\..\win.exe")", "win.exe"},
      {R"(attachment; filename="a\\b.exe")", "b.exe"},
      {"attachment; filename*=UTF-8''tab%09name%7F.bin", "tabname.bin"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::suggestedFilename(c.header, "/dir/from-url"), c.name) << c.header;
  }
}

TEST(SuggestedFilename, FallsBackToTheUrlThenToDownload) {
  const struct {
    std::string header;
    std::string urlPath;
    std::string name;
  } cases[] = {
      {"", "/dir/inst%20aller.bin", "inst aller.bin"},
      {"inline", "/dir/installer", "installer"},
      {R"(attachment; filename="..")", "/dir/installer", "installer"},
      {R"(attachment; filename="dir/")", "/dir/installer", "installer"},
      {"attachment; filename=", "/dir/", "download"},
      {"", "/dir/..", "download"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::suggestedFilename(c.header, c.urlPath), c.name)
        << c.header << " with " << c.urlPath;
  }
}

}  // namespace
