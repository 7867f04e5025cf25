#include "params/KOBU.h"

#include <cstdio>
#include <cstring>

#include "BuildConfig.h"
#include "libinstall/InstallLog.h"

namespace kobu {
namespace {

constexpr const char* kUsage =
    "Available Options: -silent { -eulaAccepted ( -location <dir> ) -desktopShortcut "
    "-programMenu -allowDownload }";

void printLine(const char* text) {
  std::fputs(text, stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

// Options match byte for byte: no abbreviations, no other case, no "--" or "=" forms.
bool is(const char* argument, const char* option) { return std::strcmp(argument, option) == 0; }

}  // namespace

bool ParamCheckerCore::CheckParams(bool& allowDownload, bool& silent, KOBUErrorCode& errorCode) {
  allowDownload = false;
  silent = false;
  errorCode = 2;
  const unsigned count = GetOrigArgCount();

  if (count == 0) {  // started without options: the interactive case
    allowDownload = true;
    errorCode = 0;
    return true;
  }

  if (count == 1) {
    const char* only = GetOrigUtf8Arg(0);
    if (is(only, "-version")) {
      printLine(ZANTH_BUNDLE_VERSION);
      errorCode = 0;
      return false;
    }
    if (is(only, "-silent")) {
      PutValidatedUtf8Arg("-silent", false);
      errorCode = 0;
      return true;
    }
    printLine(kUsage);
    return false;
  }

  bool silentNotFirst = false;
  for (unsigned i = 0; i < count; ++i) {
    const char* argument = GetOrigUtf8Arg(i);
    if (is(argument, "-silent")) {
      PutValidatedUtf8Arg("-silent", false);
      silent = true;
      silentNotFirst = i != 0;
    } else if (is(argument, "-eulaAccepted") || is(argument, "-desktopShortcut") ||
               is(argument, "-programMenu")) {
      PutValidatedUtf8Arg(argument, false);
    } else if (is(argument, "-location")) {
      if (i + 1 == count) {
        printLine(kUsage);
        return false;
      }
      PutValidatedUtf8Arg("-location", false);
      // The directory is taken as it stands, even when it looks like an option.
      PutValidatedUtf8Arg(GetOrigUtf8Arg(++i), true);
    } else if (is(argument, "-allowDownload")) {
      allowDownload = true;
    } else {
      printLine(kUsage);
      return false;
    }
  }

  // "-silent" belongs first, once: a later or repeated one rejects the command line.
  if (silentNotFirst) {
    printLine(kUsage);
    return false;
  }
  errorCode = 0;
  return true;
}

void ParamCheckerCore::PrintNeedsAllowDownloadFlag() const {
  printLine(install::sAllowDownloadFlagMsg);
}

}  // namespace kobu
