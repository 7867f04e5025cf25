// A message of any bytes shown in the error dialog (headless backend): its link markup is
// scanned into plain and link runs.
#include <stdlib.h>

#include <string>

#include "fuzz/FuzzSupport.h"
#include "messages/ErrorDialogController.h"

namespace {

ErrorDialogController* sController = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Headless: the toolkit is never touched.
  ::unsetenv("DISPLAY");
  ::unsetenv("WAYLAND_DISPLAY");
  static ErrorDialogController controller("ErrorDialog");
  if (!controller.loadWindow()) std::abort();
  sController = &controller;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string message(reinterpret_cast<const char*>(data), size);
  sController->setMessage(message, "OK", "Install Foo");

  const platform::ui::AttributedString text =
      ErrorDialogController::attributedStringFromMarkup(message);
  std::size_t shown = 0;
  for (const platform::ui::TextRun& run : text.runs) {
    shown += run.text.size();
    FUZZ_CHECK(!run.text.empty());
    // A link is blue and underlined, its address ends before the first "'>"; plain text is
    // neither.
    FUZZ_CHECK(run.underline == run.link.has_value());
    FUZZ_CHECK(run.color.has_value() == run.link.has_value());
    if (run.link) FUZZ_CHECK(run.link->find("'>") == std::string::npos);
  }
  // The markers are dropped, nothing is added.
  FUZZ_CHECK(shown <= message.size());
  if (message.find("<a href='") == std::string::npos) {
    // Without markup the message is shown exactly as it is.
    FUZZ_CHECK(text.string() == message);
    FUZZ_CHECK(text.runs.size() <= 1);
  }
  return 0;
}
