#include "platform/Path.h"

namespace platform::path {
namespace {
std::string_view trimTrailingSlashes(std::string_view path) {
  while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
  return path;
}
}  // namespace

std::string appendComponent(std::string_view base, std::string_view component) {
  if (base.empty()) return std::string(component);
  if (component.empty()) return std::string(base);
  std::string joined(trimTrailingSlashes(base));
  if (joined != "/") joined += '/';
  while (!component.empty() && component.front() == '/') component.remove_prefix(1);
  joined += component;
  return joined;
}

std::string lastComponent(std::string_view path) {
  path = trimTrailingSlashes(path);
  if (path == "/") return "/";
  auto slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string deletingLastComponent(std::string_view path) {
  path = trimTrailingSlashes(path);
  auto slash = path.rfind('/');
  if (slash == std::string_view::npos) return "";
  if (slash == 0) return "/";
  return std::string(path.substr(0, slash));
}

std::vector<std::string> splitColonList(std::string_view list) {
  std::vector<std::string> entries;
  while (!list.empty()) {
    const auto colon = list.find(':');
    if (colon != 0) entries.emplace_back(list.substr(0, colon));
    list = colon == std::string_view::npos ? std::string_view() : list.substr(colon + 1);
  }
  return entries;
}

}  // namespace platform::path
