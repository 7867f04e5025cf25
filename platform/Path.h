#pragma once

#include <string>
#include <string_view>

namespace platform::path {

// base joined with component by exactly one "/"; component alone when base is empty.
std::string appendComponent(std::string_view base, std::string_view component);
// The last component of path, trailing slashes ignored ("/a/b/" gives "b", "/" gives "/").
std::string lastComponent(std::string_view path);
// path without its last component ("/a/b" gives "/a", "b" gives "", "/a" gives "/").
std::string deletingLastComponent(std::string_view path);

}  // namespace platform::path
