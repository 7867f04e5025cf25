// A command line of any arguments (the input split at NUL bytes) checked by the parameter
// checker.
#include <cstdio>
#include <string>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "params/ParamChecker.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The usage line of every rejected command line would flood the run's output.
  if (!std::freopen("/dev/null", "w", stdout)) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> arguments = {"/opt/Install Foo"};
  if (size > 0) {
    for (std::string& piece : fuzz::splitAtNul(data, size)) arguments.push_back(std::move(piece));
  }
  kobu::ParamChecker checker(arguments);
  bool allowDownload = true;
  bool silent = true;
  kobu::KOBUErrorCode errorCode = -1;
  const bool goOn = checker.CheckParams(allowDownload, silent, errorCode);
  FUZZ_CHECK(errorCode == 0 || errorCode == 2);
  if (goOn) {
    FUZZ_CHECK(errorCode == 0);
    const std::vector<std::string>* accepted = checker.ParamArray();
    // A silent run names "-silent" first, and only once.
    if (silent) {
      FUZZ_CHECK(accepted && !accepted->empty() && accepted->front() == "-silent");
      for (std::size_t i = 1; i < accepted->size(); ++i) {
        FUZZ_CHECK((*accepted)[i] != "-silent" || (*accepted)[i - 1] == "-location");
      }
    }
  }
  return 0;
}
