#include "tests/support/LateProxyResolver.h"

namespace {

using testsupport::LateProxyResolver;

struct LateProxyResolverClass {
  GObjectClass parent;
};

void late_proxy_resolver_iface_init(GProxyResolverInterface* iface);

// NOLINTNEXTLINE: GObject's own boilerplate
G_DEFINE_TYPE_WITH_CODE(LateProxyResolver, late_proxy_resolver, G_TYPE_OBJECT,
                        G_IMPLEMENT_INTERFACE(G_TYPE_PROXY_RESOLVER,
                                              late_proxy_resolver_iface_init))

void late_proxy_resolver_class_init(LateProxyResolverClass*) {}
void late_proxy_resolver_init(LateProxyResolver*) {}

gboolean answerDue(gpointer data) {
  GTask* task = G_TASK(data);
  auto* resolver = reinterpret_cast<LateProxyResolver*>(g_task_get_source_object(task));
  GCancellable* cancellable = g_task_get_cancellable(task);
  if (cancellable && g_cancellable_is_cancelled(cancellable)) {
    ++resolver->cancels;
    g_task_return_new_error(task, G_IO_ERROR, G_IO_ERROR_CANCELLED, "cancelled");
  } else {
    const gchar* answers[] = {"http://late-proxy.example:3128", nullptr};
    g_task_return_pointer(task, g_strdupv(const_cast<gchar**>(answers)),
                          reinterpret_cast<GDestroyNotify>(g_strfreev));
  }
  g_object_unref(task);
  return G_SOURCE_REMOVE;
}

void lookupAsync(GProxyResolver* resolver, const gchar*, GCancellable* cancellable,
                 GAsyncReadyCallback callback, gpointer data) {
  auto* self = reinterpret_cast<LateProxyResolver*>(resolver);
  ++self->lookups;
  g_timeout_add(self->delayMs, &answerDue, g_task_new(resolver, cancellable, callback, data));
}

gchar** lookupFinish(GProxyResolver*, GAsyncResult* result, GError** error) {
  return static_cast<gchar**>(g_task_propagate_pointer(G_TASK(result), error));
}

void late_proxy_resolver_iface_init(GProxyResolverInterface* iface) {
  // No blocking lookup: a transfer asking one would freeze the main loop, and crashes here.
  iface->lookup_async = &lookupAsync;
  iface->lookup_finish = &lookupFinish;
}

}  // namespace

namespace testsupport {

LateProxyResolver* newLateProxyResolver(std::chrono::milliseconds delay) {
  auto* resolver =
      static_cast<LateProxyResolver*>(g_object_new(late_proxy_resolver_get_type(), nullptr));
  resolver->delayMs = static_cast<guint>(delay.count());
  return resolver;
}

}  // namespace testsupport
