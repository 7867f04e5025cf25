#include "platform/Bundle.h"

#include <gtest/gtest.h>

#include "platform/ProcessInfo.h"
#include "tests/support/ScratchFolder.h"

namespace {

using testsupport::ScratchFolder;

using platform::Bundle;

std::string infoPlist(const std::string& entries) {
  return "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict>" + entries + "</dict></plist>";
}

TEST(Bundle, FindsTheInformationListInItsThreePlaces) {
  ScratchFolder t;
  t.write("A.app/Contents/Info.plist", infoPlist("<key>CFBundleVersion</key><string>1</string>"));
  t.write("A.app/Resources/Info.plist", infoPlist("<key>CFBundleVersion</key><string>2</string>"));
  t.write("B.framework/Resources/Info.plist",
          infoPlist("<key>CFBundleVersion</key><string>3</string>"));
  t.write("C/Info.plist", infoPlist("<key>CFBundleVersion</key><string>4</string>"));
  t.makeFolder("D");

  EXPECT_EQ(Bundle::bundleAtPath(t.path("A.app"))->infoValue("CFBundleVersion"), "1");
  EXPECT_EQ(Bundle::bundleAtPath(t.path("B.framework"))->infoValue("CFBundleVersion"), "3");
  EXPECT_EQ(Bundle::bundleAtPath(t.path("C"))->infoValue("CFBundleVersion"), "4");
  auto empty = Bundle::bundleAtPath(t.path("D"));
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->infoDictionary(), nullptr);
  EXPECT_EQ(empty->infoValue("CFBundleVersion"), std::nullopt);
  EXPECT_FALSE(Bundle::bundleAtPath(t.path("missing")));
  EXPECT_FALSE(Bundle::bundleAtPath(t.write("file", "x")));
}

TEST(Bundle, InformationListOthersMayChangeIsNotRead) {
  ScratchFolder t;
  const std::string open = t.write("A.app/Contents/Info.plist",
                                   infoPlist("<key>CFBundleVersion</key><string>1</string>"), 0666);
  t.write("A.app/Resources/Info.plist", infoPlist("<key>CFBundleVersion</key><string>2</string>"));
  std::vector<std::string> told;
  auto bundle = Bundle::bundleAtPath(
      t.path("A.app"), [&](const std::string& path, const std::string&) { told.push_back(path); });
  ASSERT_TRUE(bundle);
  EXPECT_EQ(bundle->infoDictionary(), nullptr)
      << "neither the open list nor the one after it may stand for the package";
  EXPECT_EQ(told, std::vector<std::string>{open});
}

TEST(Bundle, ExecutableComesFromTheInformationList) {
  ScratchFolder t;
  const std::string info = infoPlist("<key>CFBundleExecutable</key><string>Run Me</string>");
  t.write("Mac.app/Contents/Info.plist", info);
  t.write("Mac.app/Contents/MacOS/Run Me", "#!/bin/sh\n");
  t.write("Flat/Info.plist", info);
  t.write("Flat/Run Me", "#!/bin/sh\n");
  t.write("NoFile/Info.plist", info);
  t.write("Escape/Info.plist",
          infoPlist("<key>CFBundleExecutable</key><string>../Flat/Run Me</string>"));

  EXPECT_EQ(Bundle::bundleAtPath(t.path("Mac.app"))->executablePath(),
            t.path("Mac.app/Contents/MacOS/Run Me"));
  EXPECT_EQ(Bundle::bundleAtPath(t.path("Flat"))->executablePath(), t.path("Flat/Run Me"));
  EXPECT_EQ(Bundle::bundleAtPath(t.path("NoFile"))->executablePath(), std::nullopt);
  EXPECT_EQ(Bundle::bundleAtPath(t.path("Escape"))->executablePath(), std::nullopt)
      << "an executable name may not lead out of its package";
}

TEST(Bundle, ResourcesByNameAndType) {
  ScratchFolder t;
  t.write("P.app/Contents/Resources/Config.plist", infoPlist(""));
  auto bundle = Bundle::bundleAtPath(t.path("P.app"));
  EXPECT_EQ(bundle->resourcePath(), t.path("P.app/Contents/Resources"));
  EXPECT_EQ(bundle->pathForResource("Config", "plist"),
            t.path("P.app/Contents/Resources/Config.plist"));
  EXPECT_EQ(bundle->pathForResource("Other", "plist"), std::nullopt);
}

TEST(Bundle, MainBundleHasTheCompiledVersionAndSitsBesideTheProgram) {
  const char* argv[] = {"/opt/pkg/Install Foo", "-silent"};
  platform::ProcessInfo::setArguments(2, argv);
  const Bundle& main = Bundle::mainBundle();
  EXPECT_EQ(main.infoValue("CFBundleVersion"), "3.3.0.3650");
  EXPECT_EQ(main.resourcePath(), "/opt/pkg");
  EXPECT_EQ(main.infoValue("CFBundleExecutable"), "Install Foo");
}

}  // namespace
