// The per-host layer of the install library on Linux.
#include <syslog.h>

#include <climits>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "BuildConfig.h"
#include "libinstall/InstallLog.h"
#include "libinstall/InstallLogMsgs.h"
#include "libinstall/LibInstall.h"
#include "libinstall/MacSystemVersion.h"
#include "platform/Bundle.h"
#include "platform/ConfigurationStore.h"
#include "platform/FileManager.h"
#include "platform/Path.h"
#include "platform/SearchPaths.h"
#include "platform/Task.h"
#include "platform/TrustedLocation.h"
#include "platform/UrlAddress.h"
#include "platform/UrlDownload.h"

namespace install {
namespace {

constexpr const char* kRuntimeFolder = "Frameworks/Quillor Zanth.framework";
constexpr const char* kAppInstallerPackage = "Versions/1.0/Quillor Zanth Application Installer.app";
constexpr const char* kUpdateDisabledMarker = "Quillor/Zanth/updateDisabled";
// The machine configuration: Quillor/Zanth.conf in the configuration folders, group [Zanth].
constexpr const char* kConfigurationFile = "Quillor/Zanth.conf";
constexpr const char* kConfigurationGroup = "Zanth";
// The machine's download mirror, in place of the built-in download server.
constexpr const char* kDownloadBaseKey = "DownloadBase";
constexpr const char* kNotAMirror = "not an http, https or file address";

constexpr int kNoRuntimeFolder = 3;
constexpr int kNoAppInstaller = 5;

// Reads the four numbers of a version text such as "2.7.1.96": integer, point, integer,
// point, integer, point, integer. Blanks and line breaks may stand before any integer or
// point; an integer is decimal with an optional sign, and a value beyond the 32-bit range
// stops at its limit. Text after the fourth integer is ignored.
class VersionScanner {
 public:
  explicit VersionScanner(std::string_view text) : text_(text) {}

  bool scan(RuntimeVersionInfo& info) {
    std::int32_t numbers[4];
    for (int i = 0; i < 4; ++i) {
      if (i > 0 && !scanPoint()) return false;
      if (!scanInteger(numbers[i])) return false;
    }
    info = {numbers[0], numbers[1], numbers[2], numbers[3]};
    return true;
  }

 private:
  // Length in bytes of the white-space or line-break character at the current position, 0
  // when there is none there. Besides ASCII: U+0085, U+00A0, U+1680, U+2000..U+200A, U+2028,
  // U+2029, U+202F, U+205F and U+3000 in UTF-8.
  std::size_t blankLength() const {
    const std::string_view rest = text_.substr(pos_);
    if (rest.empty()) return 0;
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(rest[i]); };
    const unsigned char c = byte(0);
    if (c == ' ' || (c >= '\t' && c <= '\r')) return 1;
    if (rest.size() >= 2 && c == 0xC2 && (byte(1) == 0x85 || byte(1) == 0xA0)) return 2;
    if (rest.size() >= 3) {
      const unsigned c1 = byte(1), c2 = byte(2);
      if (c == 0xE1 && c1 == 0x9A && c2 == 0x80) return 3;
      if (c == 0xE2 && c1 == 0x80 &&
          ((c2 >= 0x80 && c2 <= 0x8A) || c2 == 0xA8 || c2 == 0xA9 || c2 == 0xAF)) {
        return 3;
      }
      if (c == 0xE2 && c1 == 0x81 && c2 == 0x9F) return 3;
      if (c == 0xE3 && c1 == 0x80 && c2 == 0x80) return 3;
    }
    return 0;
  }

  void skipBlanks() {
    while (std::size_t length = blankLength()) pos_ += length;
  }

  bool scanPoint() {
    skipBlanks();
    if (pos_ >= text_.size() || text_[pos_] != '.') return false;
    ++pos_;
    return true;
  }

  bool scanInteger(std::int32_t& value) {
    skipBlanks();
    std::size_t i = pos_;
    bool negative = false;
    if (i < text_.size() && (text_[i] == '+' || text_[i] == '-')) negative = text_[i++] == '-';
    const std::size_t digitsStart = i;
    long long magnitude = 0;
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    for (; i < text_.size() && text_[i] >= '0' && text_[i] <= '9'; ++i) {
      magnitude = magnitude * 10 + (text_[i] - '0');
      if (magnitude > limit) magnitude = limit;
    }
    if (i == digitsStart) return false;
    pos_ = i;
    value = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
    return true;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

// Logs a machine folder or file passed over because someone else could change it, each time a
// lookup passes it over (the runtime is looked up once per run).
void logUntrustedLocation(const std::string& path, const std::string& reason) {
  logIgnoredSetting(path.c_str(), reason.c_str());
}

// The mirror named by value, as the download addresses begin with it, for the files at paths
// below it; none, after logging why, when it cannot serve as one.
std::optional<std::string> usableMirror(std::string value, const std::vector<std::string>& paths) {
  const auto withoutTrailingSlashes = [](std::string text) {
    while (!text.empty() && text.back() == '/') text.pop_back();
    return text;
  };
  value = withoutTrailingSlashes(std::move(value));
  // The download paths are appended to the base: a query or a fragment would swallow them.
  if (value.find_first_of("?#") != std::string::npos) {
    logIgnoredSetting(kDownloadBaseKey, kNotAMirror);
    return std::nullopt;
  }
  if (const std::optional<std::string> folder = platform::localPathOfFileUrl(value)) {
    // The files are run as whoever starts us: someone else who could change them, or any
    // folder on the way, could run anything under a name that passes the checks later on.
    for (const std::string& path : paths) {
      const platform::TrustCheck check = platform::checkTrustedLocation(*folder + path);
      if (check.trust == platform::Trust::kUntrusted) {
        logIgnoredSetting(kDownloadBaseKey, check.reason.c_str());
        return std::nullopt;
      }
    }
    return value;
  }
  // libcurl looks an international host name up in its ASCII form; a name without one is no
  // address at all.
  const std::optional<std::string> ascii = platform::withAsciiHost(value);
  if (!ascii) {
    logIgnoredSetting(kDownloadBaseKey, "the host name has no ASCII form");
    return std::nullopt;
  }
  if (!platform::UrlDownload::canHandleUrl(*ascii)) {
    logIgnoredSetting(kDownloadBaseKey, kNotAMirror);
    return std::nullopt;
  }
  return withoutTrailingSlashes(*ascii);  // written anew, the address may end in "/" again
}

}  // namespace

int platform_installLog(severity_t severity, const char* format, va_list args) {
  int priority;
  switch (severity) {
    case kSeverityError:
      priority = LOG_ERR;
      break;
    case kSeverityWarning:
      priority = LOG_WARNING;
      break;
    case kSeverityNotice:
      priority = LOG_NOTICE;
      break;
    case kSeverityDebug:
      priority = LOG_DEBUG;
      break;
    default:
      return -3;
  }
  // No facility bits: the process's default facility and identity apply.
  vsyslog(priority, format, args);
  return 0;
}

std::optional<std::string> getRuntimeLocation() {
  using namespace platform;
  const unsigned machineDomains = kLocalDomainMask | kNetworkDomainMask | kSystemDomainMask;
  for (const std::string& library :
       searchPaths(SearchPathDirectory::Library, machineDomains, logUntrustedLocation)) {
    std::string candidate = path::appendComponent(library, kRuntimeFolder);
    // A runtime that someone else could have put or changed there runs as whoever starts us.
    if (!isUsableLocation(candidate, logUntrustedLocation)) continue;
    if (FileManager::defaultManager().fileExists(candidate)) return candidate;
  }
  return std::nullopt;
}

std::optional<std::string> getAppInstallerLocation() {
  auto runtime = getRuntimeLocation();
  if (!runtime) return std::nullopt;
  return platform::path::appendComponent(*runtime, kAppInstallerPackage);
}

int runAppInstaller(const std::vector<std::string>& arguments) {
  auto runtime = getRuntimeLocation();
  if (!runtime) return kNoRuntimeFolder;
  return runAppInstaller(*runtime, arguments);
}

int runAppInstaller(const std::string& runtimeLocation, const std::vector<std::string>& arguments) {
  const std::string location =
      platform::path::appendComponent(runtimeLocation, kAppInstallerPackage);
  auto package = platform::Bundle::bundleAtPath(location, logUntrustedLocation);
  if (!package) return kNoAppInstaller;
  auto executable = package->executablePath();
  if (!executable || !platform::isUsableLocation(*executable, logUntrustedLocation)) {
    return kNoAppInstaller;
  }
  platform::Task task(*executable, arguments);
  // A child that cannot be started has its 127 or 126 as its status already.
  if (task.launch()) task.waitUntilExit();
  return task.terminationStatus();
}

int platform_getRuntimeVersion(RuntimeVersionInfo& info) {
  auto runtime = getRuntimeLocation();
  if (!runtime) return -3;
  return platform_getFileVersion(runtime->c_str(), info);
}

int platform_getFileVersion(const char* path, RuntimeVersionInfo& info) {
  if (!path) return -3;
  auto package = platform::Bundle::bundleAtPath(path, logUntrustedLocation);
  if (!package) return -3;
  auto version = package->infoValue("CFBundleVersion");
  if (!version) return -3;
  return VersionScanner(*version).scan(info) ? 0 : -3;
}

bool platform_updateDisabledFileExists() {
  using namespace platform;
  const auto folders = searchPaths(SearchPathDirectory::ApplicationSupport, kUserDomainMask);
  if (folders.empty()) return false;
  return FileManager::defaultManager().fileExists(
      path::appendComponent(folders.front(), kUpdateDisabledMarker));
}

int platform_getConfigurationValue(const char* key) {
  if (!key) return 0;
  return platform::ConfigurationStore(kConfigurationFile, kConfigurationGroup, logUntrustedLocation)
      .integerValue(key);
}

std::string platform_getDownloadBase(const std::vector<std::string>& paths, std::size_t maxLength) {
  const std::optional<std::string> mirror =
      platform::ConfigurationStore(kConfigurationFile, kConfigurationGroup, logUntrustedLocation)
          .stringValue(kDownloadBaseKey);
  if (!mirror) return ZANTH_DOWNLOAD_BASE;
  std::optional<std::string> base = usableMirror(*mirror, paths);
  if (base && base->size() > maxLength) {
    logIgnoredSetting(kDownloadBaseKey, "too long for a download address");
    base.reset();
  }
  return base.value_or(ZANTH_DOWNLOAD_BASE);
}

void platform_getPlatformInfo(PlatformInfo& info) {
  info.os = ZANTH_PLATFORM_OS;
  const MacSystemVersion& version = MacSystemVersion::CurrentSystemVersion();
  info.architecture = ZANTH_PLATFORM_ARCH;
  info.majorVersion = version.major;
  info.minorVersion = version.minor;
  info.patchVersion = version.patch;
}

}  // namespace install
