#include "platform/Path.h"

#include <gtest/gtest.h>

namespace {

namespace path = platform::path;

TEST(Path, JoinsSplitsAndTrims) {
  struct Join {
    const char* base;
    const char* component;
    const char* joined;
  };
  for (const Join& j : std::initializer_list<Join>{
           {"/a", "b", "/a/b"},
           {"/a/", "b", "/a/b"},
           {"/", "b", "/b"},
           {"", "b", "b"},
           {"/a", "/b", "/a/b"},
           {"/a", "", "/a"},
           {"/a", "Frameworks/Q Z.framework", "/a/Frameworks/Q Z.framework"}}) {
    EXPECT_EQ(path::appendComponent(j.base, j.component), j.joined)
        << j.base << " + " << j.component;
  }
  EXPECT_EQ(path::lastComponent("/x/Install Foo"), "Install Foo");
  EXPECT_EQ(path::lastComponent("/x/y/"), "y");
  EXPECT_EQ(path::lastComponent("Install "), "Install ");
  EXPECT_EQ(path::lastComponent("/"), "/");
  EXPECT_EQ(path::deletingLastComponent("/x/y"), "/x");
  EXPECT_EQ(path::deletingLastComponent("/x"), "/");
  EXPECT_EQ(path::deletingLastComponent("x"), "");
}

}  // namespace

TEST(Path, ColonListsKeepTheirNonEmptyEntriesInOrder) {
  using List = std::vector<std::string>;
  EXPECT_EQ(path::splitColonList(""), List{});
  EXPECT_EQ(path::splitColonList(":::"), List{});
  EXPECT_EQ(path::splitColonList("/usr/share"), List{"/usr/share"});
  EXPECT_EQ(path::splitColonList(":fr::de_DE:"), (List{"fr", "de_DE"}));
}
