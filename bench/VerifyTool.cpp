// Verification alone, as a process: the program's SignatureVerification over a data file and
// its detached signature, with revocation lists read from files instead of downloaded, both
// passes and the result notification as in a whole run. Exits 0 when the signature is
// accepted, 1 when it is rejected, 2 on a usage error.
//
//   zanth_verify <data> <signature.p7> [<crl>...]
#include <glib.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/NotificationCenter.h"
#include "signature/SignatureVerification.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s <data> <signature.p7> [<crl>...]\n", argv[0]);
    return 2;
  }
  GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
  bool valid = false;
  platform::NotificationCenter::defaultCenter().addObserver(
      &valid, SIGNATURE_VERIFY_NOTIFY_DONE, [&](const platform::Notification& notification) {
        const bool* isValid = notification.value<bool>(SIGNATURE_KEY_IS_VALID);
        valid = isValid && *isValid;
        g_main_loop_quit(loop);
      });
  {
    SignatureVerification verifier;
    // Without a downloader the lists named in the chain are not fetched; the second pass checks
    // the chain against the lists given here instead.
    if (argc > 3) verifier.setCrlPaths(std::vector<std::string>(argv + 3, argv + argc));
    verifier.verifyDataAtPath(argv[1], argv[2]);
    g_main_loop_run(loop);
    if (!valid) std::fprintf(stderr, "rejected: %s\n", verifier.errorString().c_str());
  }
  g_main_loop_unref(loop);
  return valid ? 0 : 1;
}
