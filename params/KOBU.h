#pragma once

#include <cstdint>

namespace kobu {

// The process exit status as the checker reports it (0: go on or version shown; 2: rejected).
using KOBUErrorCode = std::int32_t;

// The option grammar of the command line. It sees the arguments only through the four
// operations a platform subclass supplies, and hands the accepted ones back through them.
class ParamCheckerCore {
 public:
  virtual ~ParamCheckerCore() = default;
  // Number of arguments to check.
  virtual unsigned GetOrigArgCount() const = 0;
  // The argument at index (< GetOrigArgCount()) as UTF-8; valid until the next call.
  virtual const char* GetOrigUtf8Arg(unsigned index) const = 0;
  // Appends text to the validated list; isValue marks a user value (the directory after
  // "-location") as opposed to an option keyword.
  virtual void PutValidatedUtf8Arg(const char* text, bool isValue) = 0;
  // Records the path of a runtime installer.
  virtual void PutRuntimeInstallerUtf8Path(const char* path) = 0;

  // Validates the command line. True: the run goes on, errorCode is 0, and the switches say
  // whether downloading is allowed and whether to stay silent. False: the caller exits at once
  // with errorCode (0 after "-version", 2 after a rejected command line, whose usage line
  // has been printed).
  [[nodiscard]] bool CheckParams(bool& allowDownload, bool& silent, KOBUErrorCode& errorCode);
  // Prints the missing-download-permission line on standard output.
  void PrintNeedsAllowDownloadFlag() const;
};

}  // namespace kobu
