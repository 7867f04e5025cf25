// Downloads a 256 MiB file from the fixture server with the Downloader and with the curl
// command-line tool, alternately, three times each; prints the median times, their ratio and
// the process's peak memory. Headless: no window is drawn.
#include <sys/resource.h>
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

#include "download/Downloader.h"
#include "platform/NotificationCenter.h"
#include "tests/support/FixtureServer.h"
#include "tests/support/MainLoop.h"

namespace {

constexpr std::size_t kFileSize = 256u << 20;
constexpr int kRounds = 3;

using Clock = std::chrono::steady_clock;

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

long peakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double timeCurl(const std::string& url, const std::string& out) {
  const std::string command = "curl -s -f -o '" + out + "' '" + url + "'";
  const auto start = Clock::now();
  int status = std::system(command.c_str());
  const double elapsed = seconds(Clock::now() - start);
  if (status != 0) std::fprintf(stderr, "curl failed (%d)\n", status);
  std::filesystem::remove(out);
  return elapsed;
}

double timeDownloader(Downloader& downloader, const std::string& url) {
  bool done = false;
  bool success = false;
  auto& center = platform::NotificationCenter::defaultCenter();
  center.addObserver(&done, "BenchDone", [&](const platform::Notification& n) {
    done = true;
    success = *n.value<bool>(DOWNLOADER_KEY_SUCCESS);
  });
  downloader.setUrlStrings({url});
  const auto start = Clock::now();
  downloader.startDownload("BenchDone");
  testsupport::runMainLoopUntil([&] { return done; }, std::chrono::minutes(5));
  const double elapsed = seconds(Clock::now() - start);
  center.removeObserver(&done);
  if (!success) std::fprintf(stderr, "Downloader failed\n");
  downloader.cleanupTempFiles();
  return elapsed;
}

}  // namespace

int main() {
  testsupport::FixtureServer server;
  {
    std::ofstream big(server.root() + "/big", std::ios::binary);
    std::vector<char> block(1 << 20);
    for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 131 + i / 977);
    for (std::size_t written = 0; written < kFileSize; written += block.size()) {
      big.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
  }
  if (!server.start()) {
    std::fprintf(stderr, "the fixture server did not start\n");
    return 1;
  }
  const std::string url = server.url("/big");
  const std::string curlOut = server.root() + "/../curl.out";
  const long baseline = peakKilobytes();

  Downloader downloader;
  std::vector<double> curlTimes, downloaderTimes;
  for (int round = 0; round < kRounds; ++round) {
    curlTimes.push_back(timeCurl(url, curlOut));
    downloaderTimes.push_back(timeDownloader(downloader, url));
  }
  const double curlTime = median(curlTimes);
  const double ownTime = median(downloaderTimes);
  std::printf("file: %zu MiB, rounds: %d\n", kFileSize >> 20, kRounds);
  std::printf("curl:       %.3f s (median)\n", curlTime);
  std::printf("Downloader: %.3f s (median)\n", ownTime);
  std::printf("ratio Downloader/curl: %.3f (goal <= 1.1)\n", ownTime / curlTime);
  std::printf("peak memory: %.1f MiB (before downloads %.1f MiB; goal < 32 MiB)\n",
              peakKilobytes() / 1024.0, baseline / 1024.0);
  return 0;
}
