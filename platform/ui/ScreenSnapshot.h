#pragma once

#include <string>

namespace platform::ui {

// Writes the part of the screen covered by the visible windows of this process to a PNG file,
// for looking at layouts and translations. False when no display is in use or the file
// cannot be written.
[[nodiscard]] bool writeScreenSnapshot(const std::string& pngPath);

}  // namespace platform::ui
