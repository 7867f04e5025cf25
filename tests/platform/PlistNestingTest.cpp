#include "platform/PlistNesting.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "BinaryPlist.h"

namespace {

using platform::plistNestingWithin;

TEST(PlistNesting, CountsXmlContainersOnlyWhereLibplistSeesThem) {
  struct Case {
    const char* text;
    int depth;
  };
  const Case cases[] = {
      {R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0"><dict><key>A</key><string>b</string></dict></plist>)",
       1},
      {"<plist>no containers</plist>", 0},
      {"<array><array/><dict /></array>", 2},  // an empty container is a level
      {"<array><!-- </array><array> --><array></array></array>", 2},
      {"<array><string><![CDATA[</array>]]></string><dict></dict></array>", 2},
      {"<array a=\"x\" b='y'><dict\n></dict ></array>", 2},
      {"<array><array a=\"/\"><array/></array></array>", 3},  // not an empty element
      {"<array9><array></array>", 2},                         // counted even if libplist fails
      {"<array/><dict><array></array></dict>", 3},  // libplist nests these in the empty top
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(plistNestingWithin(c.text, c.depth)) << c.text;
    if (c.depth > 0) {
      EXPECT_FALSE(plistNestingWithin(c.text, c.depth - 1)) << c.text;
    }
  }
}

TEST(PlistNesting, RefusesXmlItCannotPlaceWithCertainty) {
  const char* cases[] = {
      "",
      "plain text",
      "{\"a\": [1]}",  // JSON and OpenStep, which later libplist versions read
      "(a, (b))",
      "\xEF\xBB\xBF<array/>",
      "<array><!-- </array>",
      "<array><string><![CDATA[ x </string></array>",
      "<array a=\"></array><array>\"></array>",  // a '>' inside quotes
      "<array a='\"'></array>",
      "<? > ?><array/>",
      "<?><array/>?>",
      "<!DOCTYPE plist [ <!ENTITY x \"y\"> ]><array/>",
      "<!ELEMENT x><array/>",
      "<array></dict>",
      "</array>",
      "<array></array x=\"y\">",
      "< array></array>",
  };
  for (const char* text : cases) EXPECT_FALSE(plistNestingWithin(text, 100)) << text;
}

TEST(PlistNesting, RefusesMalformedBinaryListsWithoutReadingPastThem) {
  const std::string valid = binaryPlist({{1}});  // [[ "x" ]] nests 1 deep
  ASSERT_TRUE(plistNestingWithin(valid, 1));
  ASSERT_FALSE(plistNestingWithin(valid, 0));
  EXPECT_FALSE(plistNestingWithin(binaryPlist({{2}}), 9)) << "reference to no object";
  EXPECT_FALSE(plistNestingWithin(binaryPlist({{0}}), 9)) << "array holding itself";
  EXPECT_FALSE(plistNestingWithin(binaryPlist({{1}, {0}}), 9)) << "cycle of two arrays";
  // Byte positions: the array's count integer at 9, its count at 10; the trailer's sizes, object
  // count and offset table offset counted from the end.
  const std::size_t end = valid.size();
  struct Corruption {
    std::size_t at;
    char byte;
    const char* what;
  };
  const Corruption corruptions[] = {
      {9, '\x14', "a 16-byte count"},
      {10, '\x7F', "a count beyond the list"},
      {end - 26, '\x03', "3-byte offsets"},
      {end - 25, '\x00', "no reference size"},
      {end - 17, '\x09', "more objects than the offset table holds"},
      {end - 1, '\x7F', "an offset table beyond the list"},
      {end - 33, '\x7F', "the string's offset beyond the objects"},
  };
  for (const Corruption& c : corruptions) {
    std::string corrupt = valid;
    corrupt[c.at] = c.byte;
    EXPECT_FALSE(plistNestingWithin(corrupt, 9)) << c.what;
  }
  EXPECT_FALSE(plistNestingWithin(valid.substr(0, 39), 9)) << "shorter than magic and trailer";
}

TEST(PlistNesting, CountsASharedArrayAtItsDeepestReference) {
  // The top array holds a chain of 63 arrays, and an array that holds the same chain: the
  // chain is walked once, from the shallower reference, yet nests 65 deep through the other.
  std::vector<std::vector<std::uint32_t>> arrays(65);
  arrays[0] = {1, 64};
  for (std::uint32_t i = 1; i < 63; ++i) arrays[i] = {i + 1};
  arrays[63] = {65};  // the string
  arrays[64] = {1};
  const std::string bytes = binaryPlist(arrays);
  EXPECT_TRUE(plistNestingWithin(bytes, 65));
  EXPECT_FALSE(plistNestingWithin(bytes, 64));
}

}  // namespace
