// The system's version property list of any bytes (XML or binary), read for its
// "ProductVersion".
#include <string>

#include "fuzz/FuzzSupport.h"
#include "libinstall/MacSystemVersion.h"

namespace {

std::string sPath;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  sPath = fuzz::scratchFolder() + "/SystemVersion.plist";
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::writeFile(sPath, data, size);
  const MacSystemVersion version = MacSystemVersion::GetSystemVersion(sPath);
  FUZZ_CHECK(version.reserved == 0);
  return 0;
}
