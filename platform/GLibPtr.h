#pragma once

// Owners of what GLib hands out, each freed by the function GLib names for it.
#include <glib.h>

#include <memory>

namespace platform {

struct GFreeDeleter {
  void operator()(gpointer memory) const { g_free(memory); }
};
struct GErrorDeleter {
  void operator()(GError* error) const { g_error_free(error); }
};
struct GKeyFileDeleter {
  void operator()(GKeyFile* file) const { g_key_file_free(file); }
};
struct GStrvDeleter {
  void operator()(gchar** list) const { g_strfreev(list); }
};
struct GMarkupParseContextDeleter {
  void operator()(GMarkupParseContext* context) const { g_markup_parse_context_free(context); }
};

using GCharPtr = std::unique_ptr<gchar, GFreeDeleter>;
using GErrorPtr = std::unique_ptr<GError, GErrorDeleter>;
using GKeyFilePtr = std::unique_ptr<GKeyFile, GKeyFileDeleter>;
using GStrvPtr = std::unique_ptr<gchar*, GStrvDeleter>;  // a NULL-ended list of strings
using GMarkupParseContextPtr = std::unique_ptr<GMarkupParseContext, GMarkupParseContextDeleter>;

}  // namespace platform
