#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform::path {

// base joined with component by exactly one "/"; component alone when base is empty.
std::string appendComponent(std::string_view base, std::string_view component);
// The last component of path, trailing slashes ignored ("/a/b/" gives "b", "/" gives "/").
std::string lastComponent(std::string_view path);
// path without its last component ("/a/b" gives "/a", "b" gives "", "/a" gives "/").
std::string deletingLastComponent(std::string_view path);
// The non-empty entries of a colon-separated list, in order ("a::b:" gives "a", "b"), as
// environment variables such as XDG_DATA_DIRS and LANGUAGE hold them.
std::vector<std::string> splitColonList(std::string_view list);

}  // namespace platform::path
