// The glue between libcurl's multi-socket interface and the GLib main loop.
#include "platform/curl/CurlLoop.h"

#include <glib-unix.h>

namespace platform {

CurlLoop::CurlLoop() {
  curl_global_init(CURL_GLOBAL_DEFAULT);
  multi_.reset(curl_multi_init());
  source_ = OwnedSource<CurlLoop>::make(this);
  curl_multi_setopt(multi_.get(), CURLMOPT_SOCKETFUNCTION, &CurlLoop::socketCallback);
  curl_multi_setopt(multi_.get(), CURLMOPT_SOCKETDATA, this);
  curl_multi_setopt(multi_.get(), CURLMOPT_TIMERFUNCTION, &CurlLoop::timerCallback);
  curl_multi_setopt(multi_.get(), CURLMOPT_TIMERDATA, this);
}

bool CurlLoop::add(CURL* easy, Client& client) {
  curl_easy_setopt(easy, CURLOPT_PRIVATE, static_cast<void*>(&client));
  return curl_multi_add_handle(multi_.get(), easy) == CURLM_OK;
}

void CurlLoop::remove(CURL* easy) { curl_multi_remove_handle(multi_.get(), easy); }

int CurlLoop::socketCallback(CURL*, curl_socket_t socket, int what, void* data, void* tag) {
  auto* loop = static_cast<CurlLoop*>(data);
  GSource* source = loop->source_.get();
  if (what == CURL_POLL_REMOVE) {
    if (tag) g_source_remove_unix_fd(source, tag);
    loop->sockets_.erase(socket);
    curl_multi_assign(loop->multi_.get(), socket, nullptr);
    return 0;
  }
  int events = G_IO_ERR | G_IO_HUP;
  if (what & CURL_POLL_IN) events |= G_IO_IN;
  if (what & CURL_POLL_OUT) events |= G_IO_OUT;
  if (tag) {
    g_source_modify_unix_fd(source, tag, static_cast<GIOCondition>(events));
  } else {
    tag = g_source_add_unix_fd(source, socket, static_cast<GIOCondition>(events));
    loop->sockets_[socket] = tag;
    curl_multi_assign(loop->multi_.get(), socket, tag);
  }
  return 0;
}

int CurlLoop::timerCallback(CURLM*, long timeoutMs, void* data) {
  // The new deadline replaces the previous one: -1 removes it, 0 runs it on the loop's next turn
  // (never inside the curl call that asked for it).
  auto* loop = static_cast<CurlLoop*>(data);
  gint64 readyTime = timeoutMs < 0 ? -1 : g_get_monotonic_time() + timeoutMs * 1000;
  g_source_set_ready_time(loop->source_.get(), readyTime);
  return 0;
}

void CurlLoop::dispatchSource(GSource* source) {
  ready_.clear();
  for (const auto& [socket, tag] : sockets_) {
    GIOCondition events = g_source_query_unix_fd(source, tag);
    if (events == 0) continue;
    int flags = 0;
    if (events & G_IO_IN) flags |= CURL_CSELECT_IN;
    if (events & G_IO_OUT) flags |= CURL_CSELECT_OUT;
    if (events & (G_IO_ERR | G_IO_HUP)) flags |= CURL_CSELECT_ERR;
    ready_.emplace_back(socket, flags);
  }
  const gint64 readyTime = g_source_get_ready_time(source);
  const bool timerDue = readyTime >= 0 && g_source_get_time(source) >= readyTime;
  if (timerDue) g_source_set_ready_time(source, -1);  // curl sets a new deadline if it needs one

  int running = 0;
  for (const auto& [socket, flags] : ready_) {
    curl_multi_socket_action(multi_.get(), socket, flags, &running);
  }
  if (timerDue) curl_multi_socket_action(multi_.get(), CURL_SOCKET_TIMEOUT, 0, &running);
  finishedTransfers();
}

void CurlLoop::finishedTransfers() {
  int queued = 0;
  while (CURLMsg* message = curl_multi_info_read(multi_.get(), &queued)) {
    if (message->msg != CURLMSG_DONE) continue;
    void* client = nullptr;
    curl_easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, &client);
    const CURLcode code = message->data.result;  // message is invalid once the handle is removed
    if (client) static_cast<Client*>(client)->curlDone(code);
  }
}

}  // namespace platform
