// Whole runs on the download road while the network, the disk or another process misbehaves.
// Every run ends by itself with its exit code and message, runs no installer that was not
// verified, and leaves no file and no process behind.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <optional>
#include <random>
#include <set>
#include <thread>

#include "download/Downloader.h"
#include "tests/e2e/DownloadRoad.h"
#include "tests/support/Files.h"
#include "tests/support/TestBytes.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using Lines = std::vector<std::string>;
using testsupport::readFile;
using testsupport::RunResult;
using testsupport::writeFile;

constexpr std::size_t kKiB = 1024;
constexpr std::size_t kMiB = 1024 * kKiB;
constexpr uid_t kOtherUser = 65534;  // nobody
// The system's interpreter: it runs with the sandbox's environment, where no user setup applies.
constexpr const char* kPython = "/usr/bin/python3";

// The processes whose parent is this process. With this process as the subreaper, a process
// that the program leaves running is adopted here and shows up in this set.
std::set<pid_t> childrenOfThisProcess() {
  std::set<pid_t> children;
  for (const auto& entry : fs::directory_iterator("/proc")) {
    const std::string name = entry.path().filename();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream stat(entry.path() / "stat");
    std::string line;
    if (!std::getline(stat, line)) continue;
    // "pid (comm) state ppid ...": comm may hold spaces and parentheses, the last ")" ends it.
    auto close = line.rfind(')');
    if (close == std::string::npos) continue;
    char state = 0;
    int parent = 0;
    if (std::sscanf(line.c_str() + close + 1, " %c %d", &state, &parent) == 2 &&
        parent == ::getpid()) {
      children.insert(std::stoi(name));
    }
  }
  return children;
}

Lines readLines(const std::string& path) {
  Lines lines;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// size bytes that neither reader can use but a DER reader must take in whole: a SEQUENCE header
// announcing all the rest, 1 MiB of random bytes, then zeros (a sparse file on the server side).
void writeDerGarbage(const std::string& path, std::size_t size) {
  const std::size_t length = size - 6;
  std::string head = {'\x30',
                      '\x84',
                      static_cast<char>(length >> 24),
                      static_cast<char>(length >> 16),
                      static_cast<char>(length >> 8),
                      static_cast<char>(length)};
  std::mt19937 random(10);
  while (head.size() < std::min(size, kMiB)) head.push_back(static_cast<char>(random()));
  writeFile(path, head);
  fs::resize_file(path, size);
}

// Runs mounting (shell commands on the scratch folder "$d") in a private mount namespace; the
// reason, with what it printed, when it fails.
std::optional<std::string> probeMount(const std::string& mounting, const std::string& what) {
  if (::geteuid() != 0) return what + " needs root (unshare -m, mount)";
  const std::string command = "unshare -m --propagation private sh -c 'd=$(mktemp -d) || exit 1; " +
                              mounting + "; s=$?; rmdir \"$d\"; exit $s' 2>&1";
  FILE* probe = ::popen(command.c_str(), "r");
  if (!probe) return "cannot run unshare";
  std::string output;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, probe)) output += buffer;
  if (::pclose(probe) != 0) {
    return what + " is not possible in a private mount namespace here: " + output;
  }
  return std::nullopt;
}

// Whether a tmpfs can be mounted in a private mount namespace here; the reason when not.
std::optional<std::string> mountingUnavailable() {
  static const std::optional<std::string> sReason = probeMount(
      "mount -t tmpfs -o size=64k tmpfs \"$d\" && umount \"$d\"", "mounting a small folder");
  return sReason;
}

// A folder mounted over itself through bindfs (FUSE), which refuses every change of mode with
// EPERM as some file systems do (FAT among them); creating, writing and reading work as usual.
// The mount ends with the namespace shell, and bindfs with it.
constexpr const char* kChmodRefusingTmpdir =
    "bindfs -f --chmod-deny \"$TMPDIR\" \"$TMPDIR\" >/dev/null 2>&1 & "
    "trap 'umount \"$TMPDIR\"; wait' EXIT; n=0; "
    "while ! mountpoint -q \"$TMPDIR\" && [ $n -lt 200 ]; do n=$((n + 1)); sleep 0.05; done; "
    "mountpoint -q \"$TMPDIR\"";

// Whether a folder that refuses chmod can be mounted here; the reason when not.
std::optional<std::string> chmodRefusingMountUnavailable() {
  static const std::optional<std::string> sReason = probeMount(
      "if ! command -v bindfs >/dev/null || [ ! -e /dev/fuse ]; then "
      "echo no bindfs or no /dev/fuse; false; else "
      "bindfs -f --chmod-deny \"$d\" \"$d\" >/dev/null 2>&1 & n=0; "
      "while ! mountpoint -q \"$d\" && [ $n -lt 200 ]; do n=$((n + 1)); sleep 0.05; done; "
      "touch \"$d/f\" && ! chmod 755 \"$d/f\" 2>/dev/null; s=$?; "
      "rm -f \"$d/f\"; umount \"$d\" && wait && [ $s -eq 0 ]; fi",
      "mounting a folder that refuses chmod (bindfs, package bindfs)");
  return sReason;
}

// Runs the program as root in a private mount namespace: setup (shell commands, with TMPDIR and
// HOME set) first, then the program; then everything left in TMPDIR and HOME (the sandbox's
// own .local/share and the user's cache folder itself aside) is listed before the namespace and
// its mounts go away.
constexpr const char* kNamespaceShell = R"sh(
eval "$1" || { echo "the mount setup failed" >&2; exit 99; }
shift
"$@"
status=$?
find "$TMPDIR" "$HOME" -mindepth 1 ! -path "$HOME/.local" ! -path "$HOME/.local/share" \
  ! -path "$HOME/.cache" \
  >"$ZANTH_E2E_LISTING"
exit $status
)sh";

// Runs as another user beside the program: waits for the program's private folder in TMPDIR,
// then, for as long as the folder exists, tries to list it and to replace the installer in it.
constexpr const char* kOtherUserShell = R"sh(
cd "$TMPDIR" || { echo "cannot reach TMPDIR"; exit 2; }
end=$(($(date +%s) + 20))
until dir=$(ls -d "$TMPDIR"/zanth-* 2>/dev/null | head -n 1) && [ -n "$dir" ]; do
  [ "$(date +%s)" -lt "$end" ] || { echo "no private folder appeared"; exit 3; }
  sleep 0.01
done
echo "folder $(stat -c '%a %u' "$dir")"
tries=0
successes=0
while [ -d "$dir" ]; do
  tries=$((tries + 1))
  ls "$dir" >/dev/null 2>&1 && successes=$((successes + 1))
  (printf '#!/bin/sh\necho replaced >"$ZANTH_E2E_RECORD"\n' >"$dir/installer") 2>/dev/null &&
    successes=$((successes + 1))
  mv "$TMPDIR/installer" "$dir/installer" 2>/dev/null && successes=$((successes + 1))
  rm "$dir/installer" 2>/dev/null && successes=$((successes + 1))
  sleep 0.005
done
echo "tries $tries successes $successes"
)sh";

class FaultInjection : public DownloadRoad {
 protected:
  void SetUp() override {
    ASSERT_EQ(::prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    DownloadRoad::SetUp();
    childrenBefore = childrenOfThisProcess();  // the fixture server
  }
  void TearDown() override {
    if (childrenBefore) {
      EXPECT_EQ(childrenOfThisProcess(), *childrenBefore) << "a process outlived the program";
    }
  }

  std::string installerPath() const { return serverPath(kServerFolder + "/installer"); }
  std::string signaturePath() const { return installerPath() + ".p7"; }

  // A signed runtime installer of size bytes: the recording script, padded after its last line.
  void publishInstallerOfSize(std::size_t size) {
    std::string script = installerScript();
    script += "#" + std::string(size - script.size() - 2, 'x') + "\n";
    publishInstaller(script, "good");
  }

  // A run that ended by itself with code and message, ran no installer and logged its end.
  void expectEndedWithoutInstalling(const RunResult& result, int code, const char* message) {
    EXPECT_FALSE(result.timedOut) << "the program did not end by itself";
    EXPECT_EQ(result.exitCode, code) << result.err;
    EXPECT_THAT(result.err, HasSubstr(message));
    EXPECT_THAT(received(), IsEmpty()) << "an installer ran";
    const Lines lines = logTexts();
    EXPECT_THAT(lines, Not(Contains(HasSubstr("Launching subprocess"))));
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "E: Bootstrapper end with exit code " + std::to_string(code));
  }
  // A run that verified the installer and ran it with "-silent".
  void expectInstalled(const RunResult& result) {
    EXPECT_FALSE(result.timedOut) << "the program did not end by itself";
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(received(), "711\n-silent\n" + box.appPath() + "\n");
    EXPECT_THAT(logTexts(), Contains("Detached signature verified"));
  }

  // The program in a private mount namespace after setup; what it left is in leftInNamespace.
  RunResult runWithMounts(const std::string& setup, const Lines& args) {
    const std::string listing = box.root() + "/left-in-namespace";
    fs::remove(listing);
    box.setEnv("ZANTH_E2E_LISTING", listing);
    Lines shellArgs = {"-m", "--propagation", "private", "/bin/sh", "-c", kNamespaceShell, "sh"};
    shellArgs.push_back(setup);
    shellArgs.push_back(box.programPath());
    shellArgs.insert(shellArgs.end(), args.begin(), args.end());
    RunResult result = box.runProgram("/usr/bin/unshare", shellArgs);
    EXPECT_NE(result.exitCode, 99) << result.err;
    EXPECT_TRUE(fs::exists(listing)) << "the namespace shell did not get to the listing";
    leftInNamespace = readLines(listing);
    return result;
  }
  // Resets what a case of a table may have changed.
  void startCase() {
    box.clearLog();
    fs::remove(recordFile());
    for (const auto& entry : fs::recursive_directory_iterator(server.root())) {
      if (entry.path().extension() == ".switches") fs::remove(entry.path());
    }
    publishInstaller(installerScript(), "good");
    publishCrl("QuillorCodeSigning.crl", "QuillorCodeSigning-empty.crl");
  }
  Lines installerRequests() const {
    return {"/" + kServerFolder + "/installer", "/" + kServerFolder + "/installer.p7"};
  }

  Lines leftInNamespace;
  std::optional<std::set<pid_t>> childrenBefore;
};

// The cases that need a small or read-only folder mounted over TMPDIR.
class FaultInjectionWithMounts : public FaultInjection {
 protected:
  void SetUp() override {
    if (auto reason = mountingUnavailable()) GTEST_SKIP() << *reason;
    FaultInjection::SetUp();
  }

  // The run installed, its downloads went to a private folder in the user's cache folder, and
  // nothing was left there.
  void expectInstalledFromTheCacheFolder(const RunResult& result) {
    expectInstalled(result);
    EXPECT_THAT(logTexts(),
                Contains(::testing::MatchesRegex("Download destination is " + box.home() +
                                                 "/\\.cache/zanth-[A-Za-z0-9]{6}/installer")));
    EXPECT_THAT(leftInNamespace, IsEmpty()) << "a download was left in the cache folder";
  }
};

std::string tmpfsOnTmpdir(const std::string& options) {
  return "mount -t tmpfs -o " + options + " zanth-test \"$TMPDIR\"";
}

TEST_F(FaultInjection, ConnectionResetMidBodyEndsWithElevenAndRemovesThePartialFile) {
  for (const std::string file : {"installer", "installer.p7"}) {
    SCOPED_TRACE(file);
    startCase();
    publishInstallerOfSize(1 * kMiB);
    setSwitches(kServerFolder + "/" + file, file == "installer" ? "_reset=262144" : "_reset=100");
    auto result = box.run({"-silent", "-allowDownload"});
    expectEndedWithoutInstalling(result, 11, kRuntimeNotFound);
    const Lines lines = logTexts();
    EXPECT_THAT(lines, Contains("Download destination is <dl>/" + file)) << "not reset mid-body";
    EXPECT_THAT(lines, Contains(HasSubstr("Download retry 3 of 3 after: The network connection "
                                          "was lost.")));
    EXPECT_THAT(lines,
                Contains(HasSubstr("E: Download failure: The network connection was lost.")));
    EXPECT_THAT(leftovers(), IsEmpty()) << "the partial download was left behind";
  }

  // A list reset mid-body is a list that cannot be fetched: passed over.
  startCase();
  setSwitches("crl/QuillorCodeSigning.crl", "_reset=100");
  expectInstalled(box.run({"-silent", "-allowDownload"}));
  EXPECT_THAT(logTexts(),
              Contains(HasSubstr("E: Download failure: The network connection was lost.")));
  EXPECT_THAT(leftovers(), IsEmpty());
}

// The link drops once in the middle of the installer: the download goes on from where it
// stopped, and the whole file is verified and run.
TEST_F(FaultInjection, InstallerResumedAfterAResetIsVerifiedAndRun) {
  publishInstallerOfSize(1 * kMiB);
  setSwitches(kServerFolder + "/installer", "_ranges/_reset-once=262144");
  expectInstalled(box.run({"-silent", "-allowDownload"}));
  EXPECT_THAT(logTexts(), Contains(::testing::StartsWith(
                              "Download retry 1 of 3 after: The network connection was lost.")));
  EXPECT_THAT(server.requests(), Contains("/" + kServerFolder + "/installer range=bytes=262144-"));
  EXPECT_THAT(leftovers(), IsEmpty());
}

TEST_F(FaultInjection, StalledServerFailsTheDownloadAfterThirtySecondsOfSilence) {
  setSwitches(kServerFolder + "/installer", "_stall");
  const auto start = std::chrono::steady_clock::now();
  auto result = box.run({"-silent", "-allowDownload"}, std::chrono::seconds(90));
  const auto elapsed = std::chrono::steady_clock::now() - start;
  expectEndedWithoutInstalling(result, 11, kRuntimeNotFound);
  EXPECT_GE(elapsed, std::chrono::seconds(29)) << "given up before the idle time-out";
  EXPECT_THAT(logTexts(), Contains("E: Download failure: The request timed out."));
  EXPECT_EQ(server.requests().size(), 1u);
  EXPECT_THAT(leftovers(), IsEmpty());
}

// With no proxy variable, the desktop's proxy is asked; GIO's resolver of GNOME's settings
// ends the process when their schema is missing, whatever the desktop. Data folders without the
// system's (a script pointing XDG_DATA_DIRS at its runtime folder) must leave the run to end as
// a failed download does: here the download host cannot be found without the fixture's proxy.
TEST_F(FaultInjection, DataFoldersWithoutTheSettingsSchemasDoNotEndTheProgram) {
  box.unsetEnv("http_proxy");
  for (const std::string desktop : {"", "KDE"}) {
    SCOPED_TRACE("XDG_CURRENT_DESKTOP=" + desktop);
    startCase();
    if (desktop.empty()) {
      box.unsetEnv("XDG_CURRENT_DESKTOP");
    } else {
      box.setEnv("XDG_CURRENT_DESKTOP", desktop);
    }
    auto result = box.run({"-silent", "-eulaAccepted", "-allowDownload"});
    expectEndedWithoutInstalling(result, 11, kRuntimeNotFound);
    EXPECT_THAT(leftovers(), IsEmpty()) << "the private folder was left";
  }
}

TEST_F(FaultInjection, RedirectLoopEndsAfterTwentyRedirects) {
  setSwitches(kServerFolder + "/installer", "_loop");
  auto result = box.run({"-silent", "-allowDownload"});
  expectEndedWithoutInstalling(result, 11, kRuntimeNotFound);
  EXPECT_THAT(logTexts(), Contains("E: Download failure: too many HTTP redirects"));
  EXPECT_EQ(server.requests(), Lines(21, "/" + kServerFolder + "/installer"))
      << "the first request and twenty redirects";
  EXPECT_THAT(leftovers(), IsEmpty());
}

// A signature is never larger than 1 MiB: a larger one is refused as it is announced.
TEST_F(FaultInjection, SignatureOfAHundredMegabytesIsRefusedWithoutReadingIt) {
  if (!fs::exists(kPython)) GTEST_SKIP() << kPython << " is needed to measure the program's memory";
  writeDerGarbage(signaturePath(), 100 * kMiB);
  // The program under a small Python parent that reports the program's peak resident size.
  const std::string peakFile = box.root() + "/peak-rss-kib";
  auto result = box.runProgram(
      kPython,
      {"-c",
       "import resource, subprocess, sys\n"
       "status = subprocess.call(sys.argv[2:])\n"
       "open(sys.argv[1], 'w').write(str(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss))\n"
       "sys.exit(status if status >= 0 else 128 - status)\n",
       peakFile, box.programPath(), "-silent", "-allowDownload"});
  expectEndedWithoutInstalling(result, 11, kRuntimeNotFound);
  EXPECT_THAT(logTexts(), Contains("E: Download failure: resource exceeds maximum size"));
  EXPECT_EQ(server.requests(), installerRequests())
      << "no list is fetched for a rejected signature";
  const long peakKiB = std::stol(readFile(peakFile));
  EXPECT_LT(peakKiB, 96 * 1024) << "the signature was read into memory";
  EXPECT_THAT(leftovers(), IsEmpty());
}

// A list is used up to its limit; a larger one is a list that could not be fetched, even when
// it would revoke the signer.
TEST_F(FaultInjection, RevocationListIsUsedUpToItsLimitAndPassedOverAboveIt) {
  // Text before a real list that revokes the signer (PEM allows text before the block).
  const auto publishRevokingListAfterText = [&](std::size_t textSize) {
    std::ofstream list(serverPath("crl/QuillorCodeSigning.crl"),
                       std::ios::binary | std::ios::trunc);
    const std::string line(75, 'z');
    for (std::size_t written = 0; written < textSize; written += line.size() + 1)
      list << line << '\n';
    list << readFile(std::string(ZANTH_FIXTURE_PKI_DIR) + "/QuillorCodeSigning-revokes-signer.pem");
  };
  signInstaller("revoked");
  publishRevokingListAfterText(DOWNLOADER_MAX_CRL_BYTES - 64 * kKiB);
  auto result = box.run({"-silent", "-allowDownload"});
  expectEndedWithoutInstalling(result, 13, kValidationFailed);
  EXPECT_THAT(logTexts(), Contains("E: Cert chain validation failed"));
  EXPECT_THAT(leftovers(), IsEmpty());

  startCase();
  signInstaller("revoked");
  publishRevokingListAfterText(DOWNLOADER_MAX_CRL_BYTES + 1 * kMiB);
  result = box.run({"-silent", "-allowDownload"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_THAT(logTexts(), Contains("E: Download failure: resource exceeds maximum size"));
  EXPECT_THAT(logTexts(), Contains("Cert chain validation succeeded"));
  EXPECT_THAT(leftovers(), IsEmpty());
}

// libcrypto parses a list whole, at about ten times its size: the limit keeps two hostile
// lists of many entries, each at the limit, well within the memory a small session has.
TEST_F(FaultInjection, TwoHostileListsAtTheLimitKeepThePeakBelow128MiB) {
  for (const auto& [list, issuer] :
       {std::pair{"QuillorRootCA", "root.der"}, std::pair{"QuillorCodeSigning", "inter.der"}}) {
    const std::string path = serverPath(std::string("crl/") + list + ".crl");
    auto made =
        box.runProgram(ZANTH_MAKE_FIXTURE_PKI, {"--hostile-crl", ZANTH_FIXTURE_PKI_DIR, issuer,
                                                std::to_string(DOWNLOADER_MAX_CRL_BYTES), path});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    ASSERT_GT(fs::file_size(path), DOWNLOADER_MAX_CRL_BYTES - 64) << "not a list at the limit";
  }
  auto result = box.run({"-silent", "-allowDownload"});
  expectInstalled(result);
  EXPECT_THAT(logTexts(), Contains("Cert chain validation succeeded"));
  EXPECT_THAT(logTexts(), Not(Contains(HasSubstr("exceeds maximum size"))))
      << "a list at the limit was not fetched";
  EXPECT_LT(result.peakResidentKiB, 128 * 1024) << "two lists at the limit took too much memory";
  EXPECT_THAT(leftovers(), IsEmpty());
}

TEST_F(FaultInjection, FilesPlantedAtGuessablePathsAreNeitherUsedNorTouched) {
  // What another process could prepare before the run if downloads went to fixed names in
  // TMPDIR: an installer of its own, and links that would make the program write elsewhere.
  const std::string plantedInstaller = box.tmp() + "/installer";
  const std::string plantedScript = "#!/bin/sh\necho planted >\"$ZANTH_E2E_RECORD\"\n";
  writeFile(plantedInstaller, plantedScript, 0644);
  const std::string victim = box.root() + "/victim";
  writeFile(victim, "precious\n");
  Lines planted = {plantedInstaller};
  for (const std::string name : {"installer.p7", "QuillorRootCA.crl", "QuillorCodeSigning.crl"}) {
    fs::create_symlink(victim, box.tmp() + "/" + name);
    planted.push_back(box.tmp() + "/" + name);
  }
  std::sort(planted.begin(), planted.end());
  // The real installer also records its own folder's mode and owner.
  publishInstaller(
      "#!/bin/sh\n{ stat -L -c %a \"$0\"; printf '%s\\n' \"$@\"; "
      "stat -c '%a %u' \"$(dirname \"$(readlink -f \"$0\")\")\"; } >\"$ZANTH_E2E_RECORD\"\n",
      "good");

  auto result = box.run({"-silent", "-allowDownload"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(received(),
            "711\n-silent\n" + box.appPath() + "\n700 " + std::to_string(::geteuid()) + "\n")
      << "not the verified installer, or not from a private folder";
  EXPECT_EQ(readFile(plantedInstaller), plantedScript);
  struct stat status {};
  ASSERT_EQ(::stat(plantedInstaller.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0644u) << "the planted installer was made executable";
  EXPECT_EQ(readFile(victim), "precious\n");
  const Lines lines = logTexts();
  EXPECT_THAT(lines, Contains("Download destination is <dl>/installer"));
  EXPECT_THAT(lines, Contains("Download destination is <dl>/installer.p7"));
  EXPECT_THAT(leftovers(), ::testing::ElementsAreArray(planted));
}

TEST_F(FaultInjection, AnotherUserCannotReachTheDownloadsWhileTheProgramRuns) {
  if (::geteuid() != 0) GTEST_SKIP() << "running a process as another user needs root (setpriv)";
  // The sandbox's TMPDIR as /tmp is: everyone may enter it and create files there.
  ASSERT_EQ(::chmod(box.root().c_str(), 0711), 0);
  ASSERT_EQ(::chmod(box.tmp().c_str(), 01777), 0);
  // What the other user prepared: an installer of its own, at the guessable old path.
  const std::string plantedInstaller = box.tmp() + "/installer";
  const std::string plantedScript = "#!/bin/sh\necho planted >\"$ZANTH_E2E_RECORD\"\n";
  writeFile(plantedInstaller, plantedScript, 0755);
  ASSERT_EQ(::chown(plantedInstaller.c_str(), kOtherUser, kOtherUser), 0);
  // A slow installer keeps the private folder there long enough to be found and attacked.
  publishInstallerOfSize(128 * kKiB);
  setSwitches(kServerFolder + "/installer", "_drip=4096,20");

  const auto otherUser = std::to_string(kOtherUser);
  auto attack = std::async(std::launch::async, [&] {
    return box.runProgram("/usr/bin/setpriv", {"--reuid=" + otherUser, "--regid=" + otherUser,
                                               "--clear-groups", "/bin/sh", "-c", kOtherUserShell});
  });
  auto result = box.run({"-silent", "-allowDownload"});
  const RunResult attacker = attack.get();
  if (attacker.exitCode == 2)
    GTEST_SKIP() << "the other user cannot reach the sandbox: " << box.tmp();

  EXPECT_EQ(attacker.exitCode, 0) << attacker.out << attacker.err;
  EXPECT_THAT(attacker.out, HasSubstr("folder 700 0\n")) << "the private folder is open to others";
  EXPECT_THAT(attacker.out, ::testing::ContainsRegex("tries [1-9][0-9]* successes 0\n"));
  expectInstalled(result);
  EXPECT_EQ(readFile(plantedInstaller), plantedScript);
  EXPECT_THAT(leftovers(), ElementsAre(plantedInstaller));
}

TEST_F(FaultInjection, TemporaryFolderThatOthersMayWriteWithoutTheStickyBitIsRefused) {
  ASSERT_EQ(::chmod(box.tmp().c_str(), 0777), 0);
  auto result = box.run({"-silent", "-allowDownload"});
  expectEndedWithoutInstalling(result, 11, kRuntimeNotFound);
  const Lines expected =
      beginLines() + Lines{"Begin runtime download from " + kInstallerUrl,
                           "E: Download failure: unsafe temporary folder: " + box.tmp() +
                               " may be written by group or others (mode 0777)",
                           "E: Bootstrapper end with exit code 11"};
  EXPECT_EQ(logTexts(), expected);
  EXPECT_THAT(server.requests(), IsEmpty());
  EXPECT_THAT(leftovers(), IsEmpty());
  EXPECT_FALSE(fs::exists(box.home() + "/.cache")) << "the download went elsewhere instead";
}

TEST_F(FaultInjection, InstallerSwappedAndFolderRenamedDuringTheListsRunsOnlyTheVerifiedBytes) {
  // The second list is held half-way until the swap below is done ("go" on the server).
  setSwitches("crl/QuillorCodeSigning.crl", "_hold=go");
  const std::string plantedScript = "#!/bin/sh\necho planted >\"$ZANTH_E2E_RECORD\"\n";
  const std::string moved = box.tmp() + "/moved";
  auto swap = std::async(std::launch::async, [&]() -> std::string {
    std::string folder;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (folder.empty() && std::chrono::steady_clock::now() < end) {
      for (const std::string& path : testsupport::listTree(box.tmp())) {
        if (fs::path(path).filename() == "QuillorCodeSigning.crl")
          folder = fs::path(path).parent_path();
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (!folder.empty()) {
      // The verified installer replaced in its folder, then the whole folder renamed away and
      // another put in its place, holding a script beside the genuine signature.
      writeFile(folder + "/planted", plantedScript, 0755);
      fs::rename(folder + "/planted", folder + "/installer");
      fs::rename(folder, moved);
      writeFile(folder + "/installer", plantedScript, 0755);
      fs::copy_file(signaturePath(), folder + "/installer.p7");
    }
    writeFile(serverPath("go"), "");
    return folder;
  });
  auto result = box.run({"-silent", "-allowDownload"});
  const std::string folder = swap.get();
  ASSERT_FALSE(folder.empty()) << "the list download never reached the private folder";

  expectInstalled(result);
  EXPECT_FALSE(fs::exists(moved)) << "the renamed private folder was left behind";
  EXPECT_THAT(leftovers(), ElementsAre(folder, folder + "/installer", folder + "/installer.p7"))
      << "the folder put in place of the private one is not the program's to change";
  EXPECT_EQ(readFile(folder + "/installer"), plantedScript);
}

TEST_F(FaultInjectionWithMounts, GzipBodyThatOutgrowsTheTemporaryFolderEndsWithEleven) {
  // 16 MiB of text, sent gzip-compressed and decoded by the program into 2 MiB.
  writeFile(installerPath(), testsupport::pattern(16 * kMiB));
  setSwitches(kServerFolder + "/installer", "_gzip/_type=application%2Fx-gzip");
  auto result = runWithMounts(tmpfsOnTmpdir("size=2m"), {"-silent", "-allowDownload"});
  expectEndedWithoutInstalling(result, 11, kRuntimeNotFound);
  EXPECT_THAT(logTexts(), Contains("E: Download failure: cannot write file"));
  EXPECT_EQ(server.requests().size(), 1u);
  EXPECT_THAT(leftInNamespace, IsEmpty()) << "the partial download was left behind";
}

TEST_F(FaultInjectionWithMounts, UnwritableTemporaryFolderFallsBackToTheCacheFolderNeverToHome) {
  // A read-only TMPDIR, which not even root can write to: the downloads go to a private folder
  // in the user's cache folder, made for it.
  const std::string readOnlyTmp = tmpfsOnTmpdir("ro,size=64k");
  auto result = runWithMounts(readOnlyTmp, {"-silent", "-allowDownload"});
  expectInstalledFromTheCacheFolder(result);

  // HOME read-only too: no private folder can be made, and nothing is fetched.
  startCase();
  const std::size_t requestsBefore = server.requests().size();
  result = runWithMounts(readOnlyTmp +
                             " && mount --bind \"$HOME\" \"$HOME\" && "
                             "mount -o remount,bind,ro \"$HOME\"",
                         {"-silent", "-allowDownload"});
  expectEndedWithoutInstalling(result, 11, kRuntimeNotFound);
  EXPECT_THAT(logTexts(), Contains("E: Download failure: no private folder can be made in " +
                                   box.tmp() + " or " + box.home() + "/.cache"));
  EXPECT_EQ(server.requests().size(), requestsBefore) << "something was fetched";
  EXPECT_THAT(leftInNamespace, IsEmpty());
}

// A temporary folder mounted noexec (a hardened /tmp) cannot start the installer: the downloads
// go to the user's cache folder instead; when that is noexec too, nothing is fetched.
TEST_F(FaultInjectionWithMounts, NoexecTemporaryFolderFallsBackToTheCacheFolderOrEndsUnfetched) {
  const std::string noexecTmp = tmpfsOnTmpdir("noexec,size=64k");
  auto result = runWithMounts(noexecTmp, {"-silent", "-allowDownload"});
  expectInstalledFromTheCacheFolder(result);

  startCase();
  const std::size_t requestsBefore = server.requests().size();
  result = runWithMounts(noexecTmp +
                             " && mkdir -p \"$HOME/.cache\" && "
                             "mount -t tmpfs -o noexec,size=64k zanth-test \"$HOME/.cache\"",
                         {"-silent", "-allowDownload"});
  expectEndedWithoutInstalling(result, 11, kRuntimeNotFound);
  EXPECT_THAT(logTexts(),
              Contains("E: Download failure: downloaded programs cannot be started: " + box.tmp() +
                       " is on a file system mounted noexec, and " + box.home() +
                       "/.cache is on a file system mounted noexec"));
  EXPECT_EQ(server.requests().size(), requestsBefore) << "something was fetched";
  EXPECT_THAT(leftInNamespace, IsEmpty());
}

// The installer is started, and the private folder removed, through /proc/self/fd: without
// /proc the run ends before anything is fetched or made.
TEST_F(FaultInjectionWithMounts, WithoutProcTheRunEndsBeforeAnyRequest) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "a sanitized program cannot even start without /proc";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
  GTEST_SKIP() << "a sanitized program cannot even start without /proc";
#endif
#endif
  auto result = runWithMounts("mount -t tmpfs -o size=64k zanth-test /proc",
                              {"-silent", "-allowDownload"});
  expectEndedWithoutInstalling(result, 11, kRuntimeNotFound);
  EXPECT_THAT(logTexts(), Contains("E: Download failure: downloaded programs cannot be started: "
                                   "/proc/self/fd is missing (no /proc)"));
  EXPECT_THAT(server.requests(), IsEmpty()) << "something was fetched";
  EXPECT_THAT(leftInNamespace, IsEmpty()) << "a folder was left behind";
}

TEST_F(FaultInjectionWithMounts, InstallerThatCannotBeMadeExecutableIsNotRunAndIsRemoved) {
  if (auto reason = chmodRefusingMountUnavailable()) GTEST_SKIP() << *reason;
  auto result = runWithMounts(kChmodRefusingTmpdir, {"-silent", "-allowDownload"});
  expectEndedWithoutInstalling(result, 11, kValidationFailed);
  EXPECT_EQ(logTexts(), downloadedBothLines() + verifiedLines() +
                            Lines{"E: Bootstrapper end with exit code 11"})
      << "not downloaded and verified up to the change of mode";
  EXPECT_THAT(leftInNamespace, IsEmpty()) << "a download was left behind";
}

TEST_F(FaultInjectionWithMounts, FullDiskDuringTheDownloadFailsAFileButOnlyPassesOverAList) {
  struct Case {
    const char* label;
    std::function<void()> prepare;
    int code;
  };
  const std::vector<Case> cases = {
      {"installer larger than the folder", [&] { publishInstallerOfSize(2 * kMiB); }, 11},
      {"installer fits, the signature then fills the folder",
       [&] {
         publishInstallerOfSize(512 * kKiB);
         writeDerGarbage(signaturePath(), 1 * kMiB);
       },
       11},
      {"installer and signature fit, a list then fills the folder",
       [&] {
         publishInstallerOfSize(256 * kKiB);
         writeDerGarbage(serverPath("crl/QuillorCodeSigning.crl"), 1 * kMiB);
       },
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    startCase();
    c.prepare();
    auto result = runWithMounts(tmpfsOnTmpdir("size=1m"), {"-silent", "-allowDownload"});
    if (c.code == 0) {
      expectInstalled(result);
    } else {
      expectEndedWithoutInstalling(result, c.code, kRuntimeNotFound);
    }
    EXPECT_THAT(logTexts(), Contains("E: Download failure: cannot write file"));
    EXPECT_THAT(leftInNamespace, IsEmpty()) << "a download was left behind";
  }
}

}  // namespace
}  // namespace e2e
