// The GTK backend, loaded from its embedded module on first use (platform/ui/gtk is built as the
// module "gtk"): a headless run never loads the toolkit's libraries.
#include "platform/EmbeddedModule.h"
#include "platform/ui/Backend.h"

ZANTH_EMBEDDED_MODULE(gtk);

namespace platform::ui::detail {

std::unique_ptr<Backend> makeGtkBackend() {
  using MakeBackend = Backend* (*)();
  auto make = reinterpret_cast<MakeBackend>(platform::detail::loadEmbeddedModule(
      "zanth-gtk", zanth_module_gtk_begin, zanth_module_gtk_end, "zanth_make_gtk_backend"));
  return std::unique_ptr<Backend>(make ? make() : nullptr);
}

}  // namespace platform::ui::detail
