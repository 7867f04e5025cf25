#pragma once

#include <string>

namespace platform {

// The error domain of URL loading failures, and the codes it uses.
inline constexpr const char* kUrlErrorDomain = "NSURLErrorDomain";
namespace url_error {
inline constexpr long kCancelled = -999;
inline constexpr long kBadUrl = -1000;
inline constexpr long kTimedOut = -1001;
inline constexpr long kUnsupportedUrl = -1002;
inline constexpr long kCannotFindHost = -1003;
inline constexpr long kCannotConnectToHost = -1004;
inline constexpr long kNetworkConnectionLost = -1005;
inline constexpr long kHttpTooManyRedirects = -1007;
inline constexpr long kBadServerResponse = -1011;
inline constexpr long kUserAuthenticationRequired = -1013;
inline constexpr long kFileDoesNotExist = -1100;
inline constexpr long kDataLengthExceedsMaximum = -1103;
inline constexpr long kSecureConnectionFailed = -1200;
inline constexpr long kServerCertificateUntrusted = -1202;
inline constexpr long kCannotCreateFile = -3000;
inline constexpr long kCannotWriteToFile = -3003;
inline constexpr long kCannotDecodeContentData = -1016;
}  // namespace url_error

// A failure with its domain and code, a text for people, and the URL that failed, if any.
struct Error {
  std::string domain;
  long code = 0;
  std::string localizedDescription;
  std::string failingUrl;
};

}  // namespace platform
