// PropertyList on libplist: the library parses, we copy its tree into our value type.
#include <plist/plist.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/FileManager.h"
#include "platform/PlistNesting.h"
#include "platform/PropertyList.h"

namespace platform {
namespace {

// Limits for property lists from outside: bigger or deeper ones are refused, not parsed. The
// depth counts nested arrays and dictionaries.
constexpr std::size_t kMaxFileBytes = std::size_t{8} * 1024 * 1024;
constexpr int kMaxDepth = 64;

struct PlistFree {
  void operator()(plist_t node) const { plist_free(node); }
};
using PlistPtr = std::unique_ptr<void, PlistFree>;

std::optional<PropertyList> convert(plist_t node, int depth);

// Whether a key or string of the tree holds a NUL byte. libplist's readers of keys and strings
// abort the process on such text, which a hostile binary or XML list can carry, and it offers no
// reader of a key's full length; its XML writer copies every key and string byte for byte, so
// the NUL shows in the XML form. (Data is written as Base64 and never shows one.)
bool holdsTextWithNul(plist_t root) {
  char* xml = nullptr;
  uint32_t length = 0;
  plist_to_xml(root, &xml, &length);
  if (!xml) return true;
  const bool found = std::memchr(xml, '\0', length) != nullptr;
  plist_to_xml_free(xml);
  return found;
}

std::optional<PropertyList> convertDictionary(plist_t node, int depth) {
  PropertyList::Dictionary dict;
  plist_dict_iter iter = nullptr;
  plist_dict_new_iter(node, &iter);
  if (!iter) return std::nullopt;
  bool ok = true;
  for (;;) {
    char* key = nullptr;
    plist_t item = nullptr;
    plist_dict_next_item(node, iter, &key, &item);
    if (!item) {
      std::free(key);
      break;
    }
    auto value = convert(item, depth + 1);
    if (key && value) dict.insert_or_assign(std::string(key), std::move(*value));
    std::free(key);
    if (!value) {
      ok = false;
      break;
    }
  }
  std::free(iter);
  if (!ok) return std::nullopt;
  return PropertyList(std::move(dict));
}

std::optional<PropertyList> convertArray(plist_t node, int depth) {
  PropertyList::Array array;
  const uint32_t count = plist_array_get_size(node);
  array.reserve(count);
  for (uint32_t i = 0; i < count; ++i) {
    auto value = convert(plist_array_get_item(node, i), depth + 1);
    if (!value) return std::nullopt;
    array.push_back(std::move(*value));
  }
  return PropertyList(std::move(array));
}

// depth is the number of containers above node. The scan before parsing already keeps it within
// kMaxDepth; the check keeps this recursion bounded on its own.
std::optional<PropertyList> convert(plist_t node, int depth) {
  if (!node || depth > kMaxDepth) return std::nullopt;
  switch (plist_get_node_type(node)) {
    case PLIST_DICT:
      return convertDictionary(node, depth);
    case PLIST_ARRAY:
      return convertArray(node, depth);
    case PLIST_STRING: {
      // Read with its length, never through libplist's copying reader (see holdsTextWithNul).
      // A NUL byte makes no valid property-list string (XML forbids the character) and would
      // read differently as a C string: the list is refused.
      uint64_t length = 0;
      const char* text = plist_get_string_ptr(node, &length);
      if (!text) return PropertyList(std::string());
      if (std::memchr(text, '\0', length) != nullptr) return std::nullopt;
      return PropertyList(std::string(text, length));
    }
    case PLIST_UINT: {
      uint64_t value = 0;
      plist_get_uint_val(node, &value);
      // libplist keeps signed integers in the same 64 bits; reinterpret them as such.
      return PropertyList(static_cast<std::int64_t>(value));
    }
    case PLIST_REAL: {
      double value = 0;
      plist_get_real_val(node, &value);
      return PropertyList(value);
    }
    case PLIST_BOOLEAN: {
      uint8_t value = 0;
      plist_get_bool_val(node, &value);
      return PropertyList(value != 0);
    }
    default:
      return PropertyList();
  }
}

}  // namespace

std::optional<PropertyList> PropertyList::fromData(std::string_view bytes) {
  if (bytes.empty() || bytes.size() > kMaxFileBytes) return std::nullopt;
  // libplist recurses once per level while it builds, frees and writes a tree, so a deep list
  // would overflow the stack inside it: the depth is known from the bytes before it parses.
  if (!plistNestingWithin(bytes, kMaxDepth)) return std::nullopt;
  plist_t root = nullptr;
  plist_from_memory(bytes.data(), static_cast<uint32_t>(bytes.size()), &root);
  PlistPtr owner(root);
  if (!root || holdsTextWithNul(root)) return std::nullopt;
  return convert(root, 0);
}

std::optional<PropertyList> PropertyList::fromFile(const std::string& path) {
  auto bytes = FileManager::defaultManager().contentsOfSmallFile(path, kMaxFileBytes);
  if (!bytes) return std::nullopt;
  return fromData(*bytes);
}

const PropertyList* PropertyList::valueForKey(std::string_view key) const {
  const auto* dict = dictionaryValue();
  if (!dict) return nullptr;
  auto it = dict->find(key);
  return it == dict->end() ? nullptr : &it->second;
}

std::optional<std::int64_t> PropertyList::integerValue() const {
  if (const auto* value = std::get_if<std::int64_t>(&value_)) return *value;
  return std::nullopt;
}

std::optional<bool> PropertyList::boolValue() const {
  if (const auto* value = std::get_if<bool>(&value_)) return *value;
  return std::nullopt;
}

}  // namespace platform
