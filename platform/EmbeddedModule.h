#pragma once

// Shared objects carried inside the program's own file and loaded on first use. The parts of
// the platform layer that stand on large libraries (the toolkit, the URL transfer library) are
// built as such modules, so a run that never shows a window or downloads anything does not pay
// for loading those libraries at start-up, and the program stays one file.
//
// The build embeds a module with zanth_embed_module() (platform/CMakeLists.txt), which defines
// the symbols zanth_module_<name>_begin and zanth_module_<name>_end around its bytes.

#include <cstddef>

namespace platform::detail {

// Loads the module made of the bytes [begin, end) (through an anonymous memory file) and
// returns the address of its symbol entry, or null when the module or the symbol cannot be
// loaded. A module is never unloaded. The caller loads each module once and keeps the result.
void* loadEmbeddedModule(const char* name, const unsigned char* begin, const unsigned char* end,
                         const char* entry);

}  // namespace platform::detail

// The bytes of the module name, as the build embeds them.
#define ZANTH_EMBEDDED_MODULE(name)                             \
  extern "C" const unsigned char zanth_module_##name##_begin[]; \
  extern "C" const unsigned char zanth_module_##name##_end[]
