#include "platform/TrustedLocation.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string_view>

#include "platform/FileManager.h"

namespace platform {
namespace {

// The reason item fails the rule, or "" when it passes. A symbolic link's own mode means
// nothing; its owner counts, since the owner can point it elsewhere at any time.
std::string ruleViolation(const std::string& item, const struct stat& st) {
  if (st.st_uid != 0 && st.st_uid != ::geteuid()) {
    return item + " belongs to user " + std::to_string(st.st_uid);
  }
  if (S_ISLNK(st.st_mode)) return "";
  const bool othersMayWrite = (st.st_mode & (S_IWGRP | S_IWOTH)) != 0;
  const bool sticky = S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX) != 0;
  if (othersMayWrite && !sticky) {
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(st.st_mode & 07777));
    return item + " may be written by group or others (mode " + mode + ")";
  }
  return "";
}

// Checks "/", then each longer prefix of path, up to path itself, without following a link in
// the last component of each prefix (earlier ones are followed by the system).
TrustCheck checkPrefixes(const std::string& path) {
  for (std::size_t end = 1; end <= path.size(); ++end) {
    if (end < path.size() && path[end] != '/') continue;
    if (end > 1 && path[end - 1] == '/') continue;  // "a//b" and a trailing "/"
    const std::string prefix = path.substr(0, end);
    struct stat st;
    if (::lstat(prefix.c_str(), &st) != 0) {
      if (errno == ENOENT || errno == ENOTDIR) return {Trust::kMissing, ""};
      return {Trust::kUntrusted, prefix + " cannot be examined"};
    }
    if (std::string reason = ruleViolation(prefix, st); !reason.empty()) {
      return {Trust::kUntrusted, std::move(reason)};
    }
  }
  return {Trust::kTrusted, ""};
}

}  // namespace

TrustCheck checkTrustedLocation(const std::string& path) {
  if (path.empty() || path.front() != '/') return {Trust::kUntrusted, path + " is not absolute"};
  TrustCheck spelled = checkPrefixes(path);
  if (spelled.trust != Trust::kTrusted) return spelled;
  // The folders a link leads to count as well: "/opt/share" may be a link into a shared folder.
  const std::string resolved = FileManager::defaultManager().resolveSymlinks(path);
  if (resolved == path) return spelled;
  TrustCheck target = checkPrefixes(resolved);
  // Gone between the two walks: as untrusted as anything that changes under the check.
  if (target.trust == Trust::kMissing) return {Trust::kUntrusted, path + " changed while checked"};
  return target;
}

bool isUsableLocation(const std::string& path, const UntrustedLocationHandler& onUntrusted) {
  const TrustCheck check = checkTrustedLocation(path);
  if (check.trust != Trust::kUntrusted) return true;
  if (onUntrusted) onUntrusted(path, check.reason);
  return false;
}

}  // namespace platform
