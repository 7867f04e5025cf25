#pragma once

#include <cstdint>
#include <string>

// The operating system's version as the system's version property list states it, read once
// per process and cached.
class MacSystemVersion {
 public:
  constexpr MacSystemVersion() = default;
  constexpr MacSystemVersion(std::uint16_t major, std::uint16_t minor, std::uint16_t patch,
                             std::uint16_t reserved = 0)
      : major(major), minor(minor), patch(patch), reserved(reserved) {}

  // The cached version of the running system, read first when the cache still equals the
  // sentinel. A failed read is cached like a good one (its value differs from the sentinel);
  // a version of all zeros equals the sentinel and is read again on every call.
  static const MacSystemVersion& CurrentSystemVersion();
  // As CurrentSystemVersion, reading the version file at path when the cache is empty.
  static const MacSystemVersion& CurrentSystemVersion(const std::string& path);

  // Reads the system's version file afresh. Never fails: when the file cannot be read or
  // parsed, has no "ProductVersion" string, or that string has fewer than two or more than
  // three point-separated parts, the result is 10.0.0.
  static MacSystemVersion GetSystemVersion();
  // As GetSystemVersion, on the version property list at path.
  static MacSystemVersion GetSystemVersion(const std::string& path);

  // True when all four components are equal.
  constexpr bool operator==(const MacSystemVersion&) const = default;

  // The fixed place of the system's version property list.
  static constexpr const char* kSystemVersionPath =
      "/System/Library/CoreServices/SystemVersion.plist";

  // All zeros: the version has not been read yet. Never changes.
  static const MacSystemVersion sMacSystemVersionUninitialized;
  // The running system's version once read; starts as the sentinel.
  static MacSystemVersion sCachedSystemVersion;

  std::uint16_t major = 0;
  std::uint16_t minor = 0;
  std::uint16_t patch = 0;     // 0 when the product version has two numbers
  std::uint16_t reserved = 0;  // always 0 when read
};
