#include "platform/PropertyList.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "BinaryPlist.h"
#include "tests/support/ScratchFolder.h"

namespace {

using testsupport::ScratchFolder;

using platform::PropertyList;

const char* kXml = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0"><dict>
  <key>CFBundleVersion</key><string>2.7.1.96</string>
  <key>Count</key><integer>-42</integer>
  <key>Flag</key><true/>
  <key>List</key><array><string>a</string><integer>7</integer></array>
  <key>Blob</key><data>AAEC</data>
</dict></plist>)";

TEST(PropertyList, ReadsXmlValuesOfEveryKind) {
  auto plist = PropertyList::fromData(kXml);
  ASSERT_TRUE(plist);
  ASSERT_TRUE(plist->isDictionary());
  EXPECT_EQ(*plist->valueForKey("CFBundleVersion")->stringValue(), "2.7.1.96");
  EXPECT_EQ(plist->valueForKey("Count")->integerValue(), -42);
  EXPECT_EQ(plist->valueForKey("Flag")->boolValue(), true);
  const auto* list = plist->valueForKey("List")->arrayValue();
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->size(), 2u);
  EXPECT_EQ(*(*list)[0].stringValue(), "a");
  EXPECT_EQ((*list)[1].integerValue(), 7);
  // Present, but of no type the program reads.
  ASSERT_NE(plist->valueForKey("Blob"), nullptr);
  EXPECT_EQ(plist->valueForKey("Blob")->stringValue(), nullptr);
  EXPECT_EQ(plist->valueForKey("Missing"), nullptr);
  EXPECT_EQ(plist->valueForKey("Count")->stringValue(), nullptr);
}

TEST(PropertyList, ReadsBinaryLists) {
  // bplist00 of {"A": "b"}, made by hand: dict(1) -> key "A", value "b".
  const unsigned char bytes[] = {
      'b',  'p',  'l',  'i', 's', 't', '0', '0',
      0xD1, 0x01, 0x02,                          // dict with one entry: key ref 1, value ref 2
      0x51, 'A',                                 // ascii string "A"
      0x51, 'b',                                 // ascii string "b"
      0x08, 0x0B, 0x0D,                          // offset table
      0,    0,    0,    0,   0,   0,             // trailer: unused
      0x01, 0x01,                                // offset size, ref size
      0,    0,    0,    0,   0,   0,   0,   3,   // object count
      0,    0,    0,    0,   0,   0,   0,   0,   // top object
      0,    0,    0,    0,   0,   0,   0,   15,  // offset table offset
  };
  auto plist =
      PropertyList::fromData(std::string_view(reinterpret_cast<const char*>(bytes), sizeof bytes));
  ASSERT_TRUE(plist);
  ASSERT_NE(plist->valueForKey("A"), nullptr);
  EXPECT_EQ(*plist->valueForKey("A")->stringValue(), "b");
}

TEST(PropertyList, RefusesWhatIsNotAPropertyList) {
  EXPECT_FALSE(PropertyList::fromData(""));
  EXPECT_FALSE(PropertyList::fromData("not a plist at all"));
  EXPECT_FALSE(PropertyList::fromData("<?xml version=\"1.0\"?><plist><dict><key>a</key>"));
  std::string deep = "<plist>";
  for (int i = 0; i < 200; ++i) deep += "<array>";
  for (int i = 0; i < 200; ++i) deep += "</array>";
  deep += "</plist>";
  EXPECT_FALSE(PropertyList::fromData(deep)) << "nesting beyond the limit was accepted";
}

// Arrays nested depth deep around the string "x", as XML and as a binary list.
std::string nestedXml(int depth) {
  std::string text = "<plist>";
  for (int i = 0; i < depth; ++i) text += "<array>";
  text += "<string>x</string>";
  for (int i = 0; i < depth; ++i) text += "</array>";
  return text + "</plist>";
}
std::string nestedBinary(int depth) {
  std::vector<std::vector<std::uint32_t>> arrays(depth);
  for (int i = 0; i < depth; ++i) arrays[i] = {static_cast<std::uint32_t>(i + 1)};
  return binaryPlist(arrays);
}

TEST(PropertyList, ReadsNestingUpTo64Levels) {
  for (auto* nested : {&nestedXml, &nestedBinary}) {
    const bool xml = nested == &nestedXml;
    auto plist = PropertyList::fromData(nested(64));
    ASSERT_TRUE(plist) << (xml ? "XML" : "binary");
    const PropertyList* value = &*plist;
    for (int level = 0; level < 64; ++level) {
      ASSERT_TRUE(value->arrayValue() && value->arrayValue()->size() == 1) << "level " << level;
      value = &value->arrayValue()->front();
    }
    EXPECT_EQ(*value->stringValue(), "x");
    EXPECT_FALSE(PropertyList::fromData(nested(65))) << (xml ? "XML" : "binary");
  }
}

TEST(PropertyList, RefusesDeepNestingWithoutCrashing) {
  // Both overflowed the stack inside libplist before anything could look at the tree.
  EXPECT_FALSE(PropertyList::fromData(nestedXml(200000)));
  EXPECT_FALSE(PropertyList::fromData(nestedBinary(300000)));
}

TEST(PropertyList, BinaryListsMayShareObjectsButNotExplode) {
  // [[x, x], [x, x], x] with the inner array stored once: read as written.
  auto shared = PropertyList::fromData(binaryPlist({{1, 1, 2}, {2, 2}}));
  ASSERT_TRUE(shared);
  ASSERT_EQ(shared->arrayValue()->size(), 3u);
  EXPECT_EQ(*(*shared->arrayValue())[1].arrayValue()->back().stringValue(), "x");
  // Each of 60 arrays holds the next one twice: 2^60 paths, each of which libplist would copy.
  std::vector<std::vector<std::uint32_t>> doubling(60);
  for (std::uint32_t i = 0; i < 60; ++i) doubling[i] = {i + 1, i + 1};
  EXPECT_FALSE(PropertyList::fromData(binaryPlist(doubling)));
}

TEST(PropertyList, RefusesTextHoldingANulByte) {
  using namespace std::string_literals;
  // libplist's own string reader aborts the process on these; they must read as no list.
  const std::string cases[] = {
      "<plist><dict><key>A</key><string>b\0c</string></dict></plist>"s,
      "<plist><dict><key>A</key><array><string>ok</string><string>\0</string></array></dict>"
      "</plist>"s,
      "<plist><string>10.1\0\0"
      "7</string></plist>"s,
  };
  for (const std::string& text : cases) {
    EXPECT_FALSE(PropertyList::fromData(text)) << "accepted: " << text.size() << " bytes";
  }
  // A binary list whose key holds a NUL byte (libplist aborts the process when such a key is
  // read).
  const unsigned char utf16Key[] =
      {
          'b',  'p',  'l',  'i',  's',  't', '0', '0', 0xD1, 0x01, 0x02, 0x62, 0x00,
          0xE9, 0x00, 0x00,  // UTF-16 string "\u00e9\0"
          0x51, 'x',  0x08, 0x0B, 0x10, 0,   0,   0,   0,    0,    0,    0x01, 0x01,
          0,    0,    0,    0,    0,    0,   0,   3,   0,    0,    0,    0,    0,
          0,    0,    0,    0,    0,    0,   0,   0,   0,    0,    0x12,
      };
  EXPECT_FALSE(PropertyList::fromData(
      std::string_view(reinterpret_cast<const char*>(utf16Key), sizeof utf16Key)));
  // The same list without the NUL byte is fine.
  auto plist =
      PropertyList::fromData("<plist><dict><key>A</key><string>bc</string></dict></plist>");
  ASSERT_TRUE(plist);
  EXPECT_EQ(*plist->valueForKey("A")->stringValue(), "bc");
}

TEST(PropertyList, ReadsRegularFilesOnly) {
  ScratchFolder t;
  auto plist = PropertyList::fromFile(t.write("Info.plist", kXml));
  ASSERT_TRUE(plist);
  EXPECT_TRUE(plist->isDictionary());
  EXPECT_FALSE(PropertyList::fromFile(t.path("missing.plist")));
  EXPECT_FALSE(PropertyList::fromFile(t.makeFolder("folder.plist")));
  ASSERT_EQ(::mkfifo((t.path("fifo.plist")).c_str(), 0600), 0);
  EXPECT_FALSE(PropertyList::fromFile(t.path("fifo.plist")))
      << "a FIFO must not be read (it would block)";
}

}  // namespace
