#pragma once

// GLib sources owned by the objects they serve, for the transfers on the main loop.

#include <glib.h>

#include <memory>

namespace platform {

struct GSourceDeleter {
  void operator()(GSource* source) const {
    g_source_destroy(source);
    g_source_unref(source);
  }
};

// A source attached to the default main context; destroying the pointer detaches it, so no
// dispatch can reach an owner that is gone.
using SourcePtr = std::unique_ptr<GSource, GSourceDeleter>;

// A source that fires when its ready time has come, and, for the loop's source, when one of its
// file descriptors is ready. It calls owner's dispatchSource(source) and stays attached; the
// owner sets the next ready time (-1 for none).
template <typename Owner>
struct OwnedSource {
  GSource base;
  Owner* owner;

  static gboolean dispatch(GSource* source, GSourceFunc, gpointer) {
    reinterpret_cast<OwnedSource*>(source)->owner->dispatchSource(source);
    return G_SOURCE_CONTINUE;
  }
  static SourcePtr make(Owner* owner) {
    static GSourceFuncs sFuncs = {nullptr, nullptr, &OwnedSource::dispatch,
                                  nullptr, nullptr, nullptr};
    GSource* source = g_source_new(&sFuncs, sizeof(OwnedSource));
    reinterpret_cast<OwnedSource*>(source)->owner = owner;
    g_source_attach(source, nullptr);
    return SourcePtr(source);
  }
};

}  // namespace platform
