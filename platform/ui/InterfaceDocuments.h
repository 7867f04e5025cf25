#pragma once

// The GtkBuilder documents built into the program. resources/CMakeLists.txt generates the
// definition from the .ui files of resources/; the platform layer reads them by name.

#include <optional>
#include <string_view>

namespace platform::ui::detail {

// The text of the interface resource called name ("MainInterface", "ErrorDialog"), valid for
// the whole run; none when the program was built without such a resource.
std::optional<std::string_view> interfaceDocument(std::string_view name);

}  // namespace platform::ui::detail
