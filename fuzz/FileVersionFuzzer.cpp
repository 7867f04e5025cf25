// A package's information property list of any bytes (XML or binary): the package version is
// read from its "CFBundleVersion".
#include <sys/stat.h>

#include <string>

#include "fuzz/FuzzSupport.h"
#include "libinstall/LibInstall.h"

namespace {

std::string sPackage;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  sPackage = fuzz::scratchFolder() + "/Package";
  if (::mkdir(sPackage.c_str(), 0700) != 0) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::writeFile(sPackage + "/Info.plist", data, size);
  const install::RuntimeVersionInfo untouched{-7, -7, -7, -7};
  install::RuntimeVersionInfo info = untouched;
  const int result = install::platform_getFileVersion(sPackage.c_str(), info);
  FUZZ_CHECK(result == 0 || result == -3);
  if (result == -3) {
    // A failed read leaves the caller's record as it was.
    FUZZ_CHECK(info.major == -7 && info.minor == -7 && info.revision == -7 && info.build == -7);
  }
  return 0;
}
