#pragma once

#include <curl/curl.h>
#include <glib.h>

#include <map>
#include <utility>
#include <vector>

#include "platform/curl/CurlHandles.h"
#include "platform/curl/OwnedSource.h"

namespace platform {

// The process-wide libcurl multi handle, driven by one GLib source on the main loop: curl's
// socket callback adds, changes and removes the source's file descriptors, and curl's timer
// callback sets the source's ready time. Easy handles are added and removed through it.
class CurlLoop {
 public:
  // Hears when curl is done with an easy handle added for it.
  class Client {
   public:
    // curl has finished the handle's transfer with result. Called from the loop's dispatch while
    // the handle is still in the multi handle; the client removes it.
    virtual void curlDone(CURLcode result) = 0;

   protected:
    ~Client() = default;
  };

  // Never destroyed: transfers held by objects with static lifetime may still be cancelled while
  // the process exits.
  static CurlLoop& shared() {
    static CurlLoop* sLoop = new CurlLoop();
    return *sLoop;
  }

  // Adds easy to the multi handle; client hears when curl is done with it and must outlive its
  // stay there. False when curl refuses the handle.
  [[nodiscard]] bool add(CURL* easy, Client& client);
  // Takes easy out of the multi handle; no more callbacks come for it.
  void remove(CURL* easy);

  // Runs curl for the ready sockets and a due timer, then reports finished transfers.
  void dispatchSource(GSource* source);

 private:
  CurlLoop();
  static int socketCallback(CURL* easy, curl_socket_t socket, int what, void* loop, void* tag);
  static int timerCallback(CURLM* multi, long timeoutMs, void* loop);
  void finishedTransfers();

  CurlMultiPtr multi_;
  SourcePtr source_;
  std::map<curl_socket_t, gpointer> sockets_;         // the fd tags of the source, by socket
  std::vector<std::pair<curl_socket_t, int>> ready_;  // reused by every dispatch
};

}  // namespace platform
