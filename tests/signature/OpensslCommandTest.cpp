// The verifier's cryptographic verdict against the openssl command's on the same files: the
// same trust anchor, purpose "any" and unhandled critical extensions ignored.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <string>
#include <vector>

#include "signature/SignatureVerification.h"
#include "tests/signature/SignatureTestSupport.h"
#include "tests/support/Files.h"
#include "tests/support/ScratchFolder.h"

using sigtest::fixture;

extern char** environ;

namespace {

// Exit status of `openssl smime -verify` over data and its detached DER signature.
int opensslVerify(const std::string& data, const std::string& signature) {
  std::vector<std::string> args{"openssl",          "smime",       "-verify",  "-binary",
                                "-inform",          "DER",         "-in",      signature,
                                "-content",         data,          "-CAfile",  fixture("root.pem"),
                                "-no-CApath",       "-no-CAstore", "-purpose", "any",
                                "-ignore_critical", "-out",        "/dev/null"};
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  int rc = posix_spawnp(&pid, "openssl", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

TEST(OpensslCommand, SameVerdictOnTheSameFiles) {
  testsupport::ScratchFolder scratch;
  std::string bytes = testsupport::readFile(fixture("payload.bin"));
  bytes[0] ^= 0x40;
  const std::string tampered = scratch.write("tampered.bin", bytes);

  struct Case {
    const char* signature;
    std::string data;
  };
  const std::vector<Case> cases{
      {"sig-good.p7", fixture("payload.bin")},    {"sig-good.p7", tampered},
      {"sig-no-cdp.p7", fixture("payload.bin")},  {"sig-revoked.p7", fixture("payload.bin")},
      {"sig-bmp.p7", fixture("payload.bin")},     {"sig-other-root.p7", fixture("payload.bin")},
      {"sig-expired.p7", fixture("payload.bin")}, {"sig-no-certs.p7", fixture("payload.bin")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.signature) + " over " + c.data);
    SignatureVerification verifier;
    verifier.setDataPath(c.data);
    verifier.setSignaturePath(fixture(c.signature));
    // The identity checks are the verifier's own; every case here passes or lacks a signer.
    signature::Pkcs7Ptr pkcs7 = verifier.readPkcs7();
    const bool ours = pkcs7 && verifier.verifyDetachedSignature(pkcs7.get());
    const int status = opensslVerify(c.data, fixture(c.signature));
    ASSERT_GE(status, 0) << "openssl could not be run";
    EXPECT_EQ(ours, status == 0) << "verifier: " << verifier.errorString();
  }
}
