// The portable operations of the install library: they reach the host only through the
// platform_ operations.
#include "libinstall/LibInstall.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace install {
namespace {

// The path that follows the download server's base: os word and version run together, then
// the architecture word and the file name.
constexpr const char* kDownloadPathFormat = "/zanth/3/kob/%s%d.%d/%s/%s";

const char* osWord(std::int32_t os) {
  switch (os) {
    case 1:
      return "windows";
    case 2:
      return "macos";
    default:
      return "unknown";
  }
}

const char* architectureWord(std::int32_t architecture) {
  switch (architecture) {
    case 1:
      return "x86";
    case 2:
      return "ppc";
    default:
      return "unknown";
  }
}

std::string downloadPath(const PlatformInfo& platform, const char* fileName) {
  const char* os = osWord(platform.os);
  const char* arch = architectureWord(platform.architecture);
  const int length = std::snprintf(nullptr, 0, kDownloadPathFormat, os, platform.majorVersion,
                                   platform.minorVersion, arch, fileName);
  std::string path(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
  std::snprintf(path.data(), path.size() + 1, kDownloadPathFormat, os, platform.majorVersion,
                platform.minorVersion, arch, fileName);
  return path;
}

// The most bytes a base may have so that base and path fit a buffer of size bytes with its NUL.
std::size_t roomForBase(const std::string& path, unsigned long size) {
  return size > path.size() ? size - path.size() - 1 : 0;
}

}  // namespace

int getRuntimeVersion(RuntimeVersionInfo& info) { return platform_getRuntimeVersion(info); }

int getRuntimeVersion(const std::string& runtimeLocation, RuntimeVersionInfo& info) {
  return platform_getFileVersion(runtimeLocation.c_str(), info);
}

bool canUpdateRuntime() {
  if (platform_updateDisabledFileExists()) return false;
  if (platform_getConfigurationValue("UpdateDisabled") == 1) return false;
  return true;
}

bool getBootstrapperDownloadUrls(char* installerUrl, unsigned long installerUrlSize,
                                 char* signatureUrl, unsigned long signatureUrlSize) {
  PlatformInfo platform{};
  platform_getPlatformInfo(platform);
  return getDownloadUrlsForPlatform(platform, installerUrl, installerUrlSize, signatureUrl,
                                    signatureUrlSize);
}

bool getDownloadUrlsForPlatform(const PlatformInfo& platform, char* installerUrl,
                                unsigned long installerUrlSize, char* signatureUrl,
                                unsigned long signatureUrlSize) {
  if (platform.os == 0 || platform.architecture == 0 || platform.majorVersion == 0) return false;
  const std::string installerPath = downloadPath(platform, "installer");
  const std::string signaturePath = downloadPath(platform, "installer.p7");
  const std::string base = platform_getDownloadBase(
      {installerPath, signaturePath}, std::min(roomForBase(installerPath, installerUrlSize),
                                               roomForBase(signaturePath, signatureUrlSize)));
  const std::string installer = base + installerPath;
  const std::string signature = base + signaturePath;
  // A cut-short address would name some other file on the server; refuse instead of handing
  // it on as if it were good.
  if (!installerUrl || !signatureUrl || installer.size() >= installerUrlSize ||
      signature.size() >= signatureUrlSize) {
    return false;
  }
  std::memcpy(installerUrl, installer.c_str(), installer.size() + 1);
  std::memcpy(signatureUrl, signature.c_str(), signature.size() + 1);
  return true;
}

}  // namespace install
