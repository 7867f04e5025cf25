#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A binary property list of arrays followed by one string "x": array i holds the objects that
// arrays[i] names, the string is object arrays.size(), and array 0 is the top object. Counts,
// offsets and references take 4 bytes, so any number of objects fits.
inline std::string binaryPlist(const std::vector<std::vector<std::uint32_t>>& arrays) {
  std::string out = "bplist00";
  auto append = [&out](std::uint64_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<char>(value >> (8 * i)));
  };
  std::vector<std::uint64_t> offsets;
  for (const auto& refs : arrays) {
    offsets.push_back(out.size());
    out += "\xAF\x12";  // an array whose count follows as a 4-byte integer
    append(refs.size(), 4);
    for (std::uint32_t ref : refs) append(ref, 4);
  }
  offsets.push_back(out.size());
  out += "\x51x";
  const std::uint64_t table = out.size();
  for (std::uint64_t offset : offsets) append(offset, 4);
  out.append(6, '\0');
  out += "\x04\x04";  // offset size, reference size
  append(offsets.size(), 8);
  append(0, 8);  // top object
  append(table, 8);
  return out;
}
