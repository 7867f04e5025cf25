#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace install {

// The installed runtime's version: 2.7.1.96 is major 2, minor 7, revision 1, build 96.
struct RuntimeVersionInfo {
  std::int32_t major;
  std::int32_t minor;
  std::int32_t revision;
  std::int32_t build;
};

// The host as the download server knows it. A caller zero-fills the record before asking; 0 in
// os, architecture or majorVersion means the value is not determined.
struct PlatformInfo {
  std::int32_t os;            // 1 Windows, 2 macOS, other: none
  std::int32_t majorVersion;  // operating-system version
  std::int32_t minorVersion;
  std::int32_t patchVersion;
  std::int32_t architecture;  // 1 32-bit x86, 2 PowerPC, other: none
};

// Portable operations ------------------------------------------------------------------------

// The installed runtime's version: 0 with info filled, or -3 (no runtime, or its version cannot
// be read completely) with info untouched.
[[nodiscard]] int getRuntimeVersion(RuntimeVersionInfo& info);
// The version of the runtime in runtimeLocation (as getRuntimeLocation found it), without
// looking for the runtime again; results as above.
[[nodiscard]] int getRuntimeVersion(const std::string& runtimeLocation, RuntimeVersionInfo& info);

// False when runtime updates are disabled on this machine: by the user's update-disabled
// marker or by the machine configuration value "UpdateDisabled" equal to 1.
bool canUpdateRuntime();

// Writes the runtime installer's and its signature's download addresses for this host into the
// caller's buffers (sizes in bytes, terminating NUL included). False, with both buffers left
// untouched, when the host description lacks the operating system, the architecture or the
// major version, or when an address does not fit its buffer whole.
[[nodiscard]] bool getBootstrapperDownloadUrls(char* installerUrl, unsigned long installerUrlSize,
                                               char* signatureUrl, unsigned long signatureUrlSize);

// getBootstrapperDownloadUrls for a given host description instead of this host's.
[[nodiscard]] bool getDownloadUrlsForPlatform(const PlatformInfo& platform, char* installerUrl,
                                              unsigned long installerUrlSize, char* signatureUrl,
                                              unsigned long signatureUrlSize);

// Per-host operations ------------------------------------------------------------------------

// Full path of the installed runtime's folder, looked up afresh in the machine-wide library
// folders in their order (the user's own folders are never searched); none when absent.
std::optional<std::string> getRuntimeLocation();

// The Application Installer package inside the runtime folder (not tested for existence);
// none when there is no runtime folder.
std::optional<std::string> getAppInstallerLocation();

// Runs the runtime's Application Installer with arguments, one argument vector entry each, and
// waits for it. Returns 3 when there is no runtime folder, 5 when the installer package or its
// executable is missing, otherwise the installer's exit status (127/126 when it cannot be
// started, 128 + the signal when a signal ended it).
[[nodiscard]] int runAppInstaller(const std::vector<std::string>& arguments);
// runAppInstaller for the runtime in runtimeLocation (as getRuntimeLocation found it), without
// looking for the runtime again: 5 when its installer package or executable is missing,
// otherwise the installer's exit status as above.
[[nodiscard]] int runAppInstaller(const std::string& runtimeLocation,
                                  const std::vector<std::string>& arguments);

// As getRuntimeVersion, which forwards to it.
[[nodiscard]] int platform_getRuntimeVersion(RuntimeVersionInfo& info);

// The version of the package at path (UTF-8) from the "CFBundleVersion" of its information
// property list: four integers separated by points. 0 with info filled, or -3 with info
// untouched. A property list that someone other than root or the user could change is not
// read (and is logged as ignored).
[[nodiscard]] int platform_getFileVersion(const char* path, RuntimeVersionInfo& info);

// Whether the update-disabled marker (a file or a folder) exists in the user's data folder.
bool platform_updateDisabledFileExists();

// The integer under key (UTF-8) in the machine configuration store; 0 when it is not set.
int platform_getConfigurationValue(const char* key);

// The download server's base address, without a trailing "/", for the files at paths (each
// beginning with "/") below it: the machine configuration's "DownloadBase" when it is usable,
// else the built-in base. A mirror is usable when it is an http or https address (an
// international host name is used in its ASCII form) or a file: folder on this machine whose
// files at paths, and every folder on the way to them, are trusted as machine folders, and when
// it is at most maxLength bytes long. An unusable value is logged as ignored.
std::string platform_getDownloadBase(const std::vector<std::string>& paths, std::size_t maxLength);

// Fills all five fields of info with this host's description.
void platform_getPlatformInfo(PlatformInfo& info);

}  // namespace install
