#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "messages/ErrorDialogController.h"
#include "tests/support/TextRuns.h"

namespace {

using platform::ui::AttributedString;
using platform::ui::TextRun;
using testsupport::link;
using testsupport::plain;

std::string describe(const AttributedString& text) {
  std::string out;
  for (const TextRun& run : text.runs) {
    out += run.link
               ? "[link '" + *run.link + "' \"" + run.text + "\"" +
                     (run.underline ? " underlined" : "") + (run.color ? " coloured" : "") + "]"
               : "[plain \"" + run.text + "\"]";
  }
  return out.empty() ? "(empty)" : out;
}

TEST(ErrorDialogMarkup, RunsOfMessages) {
  const struct {
    const char* name;
    std::string message;
    std::vector<TextRun> runs;
  } cases[] = {
      {"empty message", "", {}},
      {"no markup", "Nothing to see here.", {plain("Nothing to see here.")}},
      {"one link in the middle",
       "Please view the <a href='https://q.example/req'>system requirements</a> for Zanth.",
       {plain("Please view the "), link("system requirements", "https://q.example/req"),
        plain(" for Zanth.")}},
      {"two links with text around",
       "a <a href='1'>one</a> b <a href='2'>two</a> c",
       {plain("a "), link("one", "1"), plain(" b "), link("two", "2"), plain(" c")}},
      {"adjacent links",
       "<a href='1'>one</a><a href='2'>two</a>",
       {link("one", "1"), link("two", "2")}},
      {"link at the very end", "see <a href='u'>here</a>", {plain("see "), link("here", "u")}},
      {"link alone", "<a href='u'>here</a>", {link("here", "u")}},
      {"no closing tag", "a <a href='u'>text", {plain("a <a href='u'>text")}},
      {"no end of address", "a <a href='u text</a>", {plain("a <a href='u text</a>")}},
      {"opening only", "<a href='", {plain("<a href='")}},
      {"closing tag without opening", "a </a> b", {plain("a </a> b")}},
      {"closing tag only before the link",
       "</a> <a href='u'>text",
       {plain("</a> <a href='u'>text")}},
      {"complete link, then an incomplete one",
       "x <a href='1'>a</a> y <a href='2'>b",
       {plain("x "), link("a", "1"), plain(" y <a href='2'>b")}},
      {"empty address", "go <a href=''>there</a>.", {plain("go "), link("there", ""), plain(".")}},
      {"empty link text adds nothing", "a<a href='u'></a>b", {plain("ab")}},
      {"address ends at the first '>", "<a href='a'>b'>c</a>", {link("b'>c", "a")}},
      {"markup inside link text is literal",
       "<a href='u'>x <a href='v'>y</a> z</a>",
       {link("x <a href='v'>y", "u"), plain(" z</a>")}},
      {"other spellings are not markup",
       "<A HREF='u'>t</A> <a href=\"u\">t</a> &lt;a&gt;",
       {plain("<A HREF='u'>t</A> <a href=\"u\">t</a> &lt;a&gt;")}},
      {"non-ASCII around and inside links",
       "Größe <a href='https://ä.example/ü'>Systemvoraussetzungen – 要件</a> 終わり",
       {plain("Größe "), link("Systemvoraussetzungen – 要件", "https://ä.example/ü"),
        plain(" 終わり")}},
      {"zero byte is ordinary text",
       std::string("a\0b <a href='u'>t</a>", 21),
       {plain(std::string("a\0b ", 4)), link("t", "u")}},
  };
  for (const auto& c : cases) {
    const AttributedString runs = ErrorDialogController::attributedStringFromMarkup(c.message);
    const AttributedString expected{c.runs};
    EXPECT_EQ(runs, expected) << c.name << "\n  got      " << describe(runs) << "\n  expected "
                              << describe(expected);
  }
}

}  // namespace
