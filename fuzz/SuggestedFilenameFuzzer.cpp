// The file name a server suggests: a Content-Disposition value and a URL path of any bytes
// (the input split at its first NUL byte), reduced to the name a download is saved under.
#include <string>
#include <string_view>

#include "fuzz/FuzzSupport.h"
#include "platform/SuggestedFilename.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t split = input.find('\0');
  const std::string_view disposition = input.substr(0, split);
  const std::string_view urlPath =
      split == std::string_view::npos ? std::string_view() : input.substr(split + 1);

  const std::string name = platform::suggestedFilename(disposition, urlPath);
  // A plain name in the download folder, whatever the server sent.
  FUZZ_CHECK(!name.empty());
  FUZZ_CHECK(name != "." && name != "..");
  for (char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    FUZZ_CHECK(c != '/' && c != '\\');
    FUZZ_CHECK(byte >= 0x20 && byte != 0x7f);
  }
  return 0;
}
