#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace platform {

// A property-list value: dictionary, array, string, integer, real or boolean. Data and date
// values are kept as "other" (present, but of no type the program reads).
class PropertyList {
 public:
  using Dictionary = std::map<std::string, PropertyList, std::less<>>;
  using Array = std::vector<PropertyList>;
  struct Other {};

  PropertyList() = default;
  explicit PropertyList(std::string value) : value_(std::move(value)) {}
  explicit PropertyList(std::int64_t value) : value_(value) {}
  explicit PropertyList(double value) : value_(value) {}
  explicit PropertyList(bool value) : value_(value) {}
  explicit PropertyList(Array value) : value_(std::move(value)) {}
  explicit PropertyList(Dictionary value) : value_(std::move(value)) {}

  // Parses an XML or binary property list held in bytes; none when it is not one.
  static std::optional<PropertyList> fromData(std::string_view bytes);
  // Reads and parses the file at path; none when it cannot be read or parsed, or is larger
  // than the few megabytes a property list of this program's kind can reasonably be.
  static std::optional<PropertyList> fromFile(const std::string& path);

  bool isDictionary() const { return std::holds_alternative<Dictionary>(value_); }
  // The value under key when this is a dictionary holding it, else null.
  const PropertyList* valueForKey(std::string_view key) const;
  // The string, when this is a string.
  const std::string* stringValue() const { return std::get_if<std::string>(&value_); }
  std::optional<std::int64_t> integerValue() const;
  std::optional<bool> boolValue() const;
  const Array* arrayValue() const { return std::get_if<Array>(&value_); }
  const Dictionary* dictionaryValue() const { return std::get_if<Dictionary>(&value_); }

 private:
  std::variant<Other, std::string, std::int64_t, double, bool, Array, Dictionary> value_;
};

}  // namespace platform
