#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "tests/support/ScratchFolder.h"

namespace testsupport {

// text percent-encoded for a switch value in a path (e.g. "/_redirect-to=" + switchValue(url)).
std::string switchValue(const std::string& text);

// The fixture download server (tests/support/fixture_server.py) in a child process, on
// 127.0.0.1, serving the files of its own throw-away folder. Its path switches (404, redirects,
// stalls, gzip, ...) are listed at the top of the script. Usable directly (url) and as a forward
// proxy (proxyUrl as http_proxy, any host name). Stopped and its folder removed on destruction.
class FixtureServer {
 public:
  FixtureServer();
  ~FixtureServer();
  FixtureServer(const FixtureServer&) = delete;
  FixtureServer& operator=(const FixtureServer&) = delete;

  // Starts the server and waits for its port; false when it did not come up.
  bool start();
  // As start, but the server speaks only TLS, presenting the certificate (a PEM file) with its
  // key; url() then gives https addresses. Not usable as a proxy.
  bool startTls(const std::string& certificateFile, const std::string& keyFile);
  // Stops the server (SIGTERM) and waits for it. Safe to call twice.
  void stop();

  int port() const { return port_; }
  // The folder whose files are served: root()/name is /name.
  const std::string& root() const { return root_; }
  // "http://127.0.0.1:<port>" (https after startTls) followed by path (which starts with "/").
  std::string url(const std::string& path) const;
  // The value for http_proxy: "http://127.0.0.1:<port>".
  std::string proxyUrl() const;
  // The paths requested so far (switches included, no host), in arrival order.
  std::vector<std::string> requests() const;

 private:
  bool launch(const std::vector<std::string>& options);

  ScratchFolder folder_{"zanth-fixture"};
  std::string root_;
  std::string log_;
  pid_t pid_ = -1;
  int port_ = 0;
  bool tls_ = false;
};

}  // namespace testsupport
