#pragma once

#include <map>
#include <string>
#include <variant>
#include <vector>

namespace platform {

// A value in a notification's user info: a boolean, a string or a list of strings.
using UserInfoValue = std::variant<bool, std::string, std::vector<std::string>>;
using UserInfo = std::map<std::string, UserInfoValue>;

// A named event with its sender and user info. The sender is only identified, never owned.
struct Notification {
  std::string name;
  void* object = nullptr;
  UserInfo userInfo;

  // The value under key if it is present and of type T, else null.
  template <typename T>
  const T* value(const std::string& key) const {
    auto it = userInfo.find(key);
    return it == userInfo.end() ? nullptr : std::get_if<T>(&it->second);
  }
};

}  // namespace platform
