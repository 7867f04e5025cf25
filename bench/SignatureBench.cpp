// Verifies a 256 MiB installer and its detached signature with SignatureVerification (a whole
// verification: both passes, result notification) and with `openssl smime -verify`, alternately,
// three times each, on the same files; prints the median times and their ratio. The signer's
// chain names no revocation list, so nothing is downloaded.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/NotificationCenter.h"
#include "signature/SignatureVerification.h"
#include "tests/support/MainLoop.h"

namespace {

constexpr std::size_t kFileSize = 256u << 20;
constexpr int kRounds = 3;
using Clock = std::chrono::steady_clock;

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

std::string quoted(const std::string& text) { return "'" + text + "'"; }

void writeInstaller(const std::string& path) {
  std::ofstream out(path, std::ios::binary);
  std::vector<char> block(1 << 20);
  unsigned state = 12345;
  for (std::size_t written = 0; written < kFileSize; written += block.size()) {
    for (char& byte : block) {
      state = state * 1664525u + 1013904223u;
      byte = static_cast<char>(state >> 24);
    }
    out.write(block.data(), static_cast<std::streamsize>(block.size()));
  }
}

double timeVerifier(const std::string& data, const std::string& signature, bool& valid) {
  bool done = false;
  auto& center = platform::NotificationCenter::defaultCenter();
  center.addObserver(&done, SIGNATURE_VERIFY_NOTIFY_DONE, [&](const platform::Notification& n) {
    done = true;
    valid = *n.value<bool>(SIGNATURE_KEY_IS_VALID);
  });
  const auto start = Clock::now();
  {
    SignatureVerification verifier;
    verifier.verifyDataAtPath(data, signature);
    testsupport::runMainLoopUntil([&] { return done; }, std::chrono::minutes(5));
  }
  const double elapsed = seconds(Clock::now() - start);
  center.removeObserver(&done);
  return elapsed;
}

double timeOpenssl(const std::string& data, const std::string& signature, bool& valid) {
  const std::string command =
      "openssl smime -verify -binary -inform DER -in " + quoted(signature) + " -content " +
      quoted(data) + " -CAfile " + quoted(std::string(ZANTH_FIXTURE_PKI_DIR) + "/root.pem") +
      " -no-CApath -no-CAstore -purpose any -ignore_critical -out /dev/null 2>/dev/null";
  const auto start = Clock::now();
  const int status = std::system(command.c_str());
  const double elapsed = seconds(Clock::now() - start);
  valid = status == 0;
  return elapsed;
}

}  // namespace

int main() {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("signature-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const std::string data = (folder / "installer").string();
  const std::string signature = (folder / "installer.p7").string();
  writeInstaller(data);
  const std::string sign = std::string(ZANTH_MAKE_FIXTURE_PKI) + " --sign " +
                           quoted(ZANTH_FIXTURE_PKI_DIR) + " no-cdp " + quoted(data) + " " +
                           quoted(signature);
  if (std::system(sign.c_str()) != 0) {
    std::fprintf(stderr, "signing failed\n");
    return 1;
  }

  std::vector<double> ours, theirs;
  bool allValid = true;
  for (int round = 0; round < kRounds; ++round) {
    bool valid = false;
    ours.push_back(timeVerifier(data, signature, valid));
    allValid = allValid && valid;
    theirs.push_back(timeOpenssl(data, signature, valid));
    allValid = allValid && valid;
  }
  std::filesystem::remove_all(folder);

  const double mine = median(ours);
  const double reference = median(theirs);
  std::printf(
      "256 MiB, median of %d: SignatureVerification %.3f s, openssl smime %.3f s, "
      "ratio %.3f%s\n",
      kRounds, mine, reference, mine / reference, allValid ? "" : " (A VERIFICATION FAILED)");
  return allValid ? 0 : 1;
}
