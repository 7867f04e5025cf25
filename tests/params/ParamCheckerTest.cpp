// The command-line checker: the option table, the rules the usage line only suggests, and the
// validated list's exact contents and order.
#include "params/ParamChecker.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using Args = std::vector<std::string>;
const std::string kUsage =
    "Available Options: -silent { -eulaAccepted ( -location <dir> ) -desktopShortcut -programMenu "
    "-allowDownload }\n";

struct Case {
  Args args;  // without the program's path
  bool accepted;
  bool allowDownload;
  bool silent;
  int errorCode;
  std::optional<Args> validated;  // none: the list stays absent
  std::string output;
};

std::string describe(const Args& args) {
  std::string text;
  for (const auto& a : args) text += "[" + a + "] ";
  return text.empty() ? "(no arguments)" : text;
}

void check(const Case& c) {
  Args process{"/pkg/Install Foo"};
  process.insert(process.end(), c.args.begin(), c.args.end());
  kobu::ParamChecker checker(process);
  bool allowDownload = true, silent = true;
  kobu::KOBUErrorCode errorCode = -1;
  ::testing::internal::CaptureStdout();
  bool accepted = checker.CheckParams(allowDownload, silent, errorCode);
  std::string output = ::testing::internal::GetCapturedStdout();

  const std::string label = describe(c.args);
  EXPECT_EQ(accepted, c.accepted) << label;
  EXPECT_EQ(errorCode, c.errorCode) << label;
  EXPECT_EQ(output, c.output) << label;
  if (!accepted) return;
  EXPECT_EQ(allowDownload, c.allowDownload) << label;
  EXPECT_EQ(silent, c.silent) << label;
  if (c.validated) {
    ASSERT_NE(checker.ParamArray(), nullptr) << label;
    EXPECT_EQ(*checker.ParamArray(), *c.validated) << label;
  } else {
    EXPECT_EQ(checker.ParamArray(), nullptr) << label;
  }
}

TEST(ParamChecker, AcceptsTheOptionTable) {
  // {args, accepted, allowDownload, silent, errorCode, validated, output}
  // clang-format off
  const std::vector<Case> cases = {
      {{}, true, true, false, 0, std::nullopt, ""},
      {{"-psn_0_12345"}, true, true, false, 0, std::nullopt, ""},
      {{"-psn_0_1", "-psnX"}, true, true, false, 0, std::nullopt, ""},
      {{"-silent"}, true, false, false, 0, Args{"-silent"}, ""},
      {{"-silent", "-eulaAccepted", "-location", "/opt/D", "-desktopShortcut", "-programMenu",
        "-allowDownload"},
       true, true, true, 0,
       Args{"-silent", "-eulaAccepted", "-location", "/opt/D", "-desktopShortcut", "-programMenu"},
       ""},
      {{"-silent", "-psn_0_4242", "-allowDownload"}, true, true, true, 0, Args{"-silent"}, ""},
  };
  // clang-format on
  for (const Case& c : cases) check(c);
}

TEST(ParamChecker, AcceptsWhatTheUsageLineOnlySuggests) {
  // {args, accepted, allowDownload, silent, errorCode, validated, output}
  // clang-format off
  const std::vector<Case> cases = {
      // "-silent" is not required with two or more arguments, nor "-eulaAccepted" first.
      {{"-eulaAccepted", "-programMenu"}, true, false, false, 0,
       Args{"-eulaAccepted", "-programMenu"}, ""},
      {{"-programMenu", "-allowDownload"}, true, true, false, 0, Args{"-programMenu"}, ""},
      // Only "-allowDownload" validated: the switch is set, the list stays absent.
      {{"-allowDownload", "-allowDownload"}, true, true, false, 0, std::nullopt, ""},
      // Repetitions are put again, in command-line order.
      {{"-silent", "-eulaAccepted", "-eulaAccepted"}, true, false, true, 0,
       Args{"-silent", "-eulaAccepted", "-eulaAccepted"}, ""},
      {{"-desktopShortcut", "-location", "a", "-location", "b", "-desktopShortcut"}, true, false,
       false, 0, Args{"-desktopShortcut", "-location", "a", "-location", "b", "-desktopShortcut"}, ""},
      // The directory is taken as it stands, even when it looks like an option.
      {{"-silent", "-location", "-programMenu"}, true, false, true, 0,
       Args{"-silent", "-location", "-programMenu"}, ""},
      {{"-location", "-version"}, true, false, false, 0, Args{"-location", "-version"}, ""},
      {{"-location", " dir with spaces/\xC3\xA9\xFF"}, true, false, false, 0,
       Args{"-location", " dir with spaces/\xC3\xA9\xFF"}, ""},
  };
  // clang-format on
  for (const Case& c : cases) check(c);
}

TEST(ParamChecker, RejectsWithTheUsageLineOnce) {
  const std::vector<Args> rejected = {
      {"-eulaAccepted"},
      {"-allowDownload"},
      {"-programMenu"},
      {"-location"},
      {"-version", "-silent"},
      {"-silent", "-version"},
      {"-eulaAccepted", "-silent"},
      {"-silent", "-eulaAccepted", "-silent"},
      {"-silent", "-silent"},
      {"-silent", "-location"},
      {"-silent", "-Silent"},
      {"-silent", "-allowdownload"},
      {"-Version"},
      {"--silent", "-eulaAccepted"},
      {"-silent", "-eulaAccepted=1"},
      {"-silent", " -eulaAccepted"},
      {"-silent", ""},
      {"Foo"},
  };
  for (const Args& args : rejected) check({args, false, false, false, 2, std::nullopt, kUsage});
}

TEST(ParamChecker, VersionAloneIsPrintedAndEndsTheRunWithZero) {
  check({{"-version"}, false, false, false, 0, std::nullopt, "3.3.0.3650\n"});
  check({{"-psn_0_1", "-version"}, false, false, false, 0, std::nullopt, "3.3.0.3650\n"});
}

TEST(ParamChecker, EmptyProcessArgumentListIsACommandLineWithoutOptions) {
  // A program started with an empty argument vector has not even its own path as element 0.
  kobu::ParamChecker checker(Args{});
  EXPECT_EQ(checker.GetOrigArgCount(), 0u);
  bool allowDownload = false, silent = true;
  kobu::KOBUErrorCode errorCode = -1;
  ::testing::internal::CaptureStdout();
  EXPECT_TRUE(checker.CheckParams(allowDownload, silent, errorCode));
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
  EXPECT_TRUE(allowDownload);
  EXPECT_FALSE(silent);
  EXPECT_EQ(checker.ParamArray(), nullptr);
}

TEST(ParamChecker, PrintsTheMissingDownloadPermission) {
  kobu::ParamChecker checker({"/x/Install Foo"});
  ::testing::internal::CaptureStdout();
  checker.PrintNeedsAllowDownloadFlag();
  EXPECT_EQ(::testing::internal::GetCapturedStdout(),
            "Unable to download runtime installer without -allowDownload\n");
}

// The grammar works through the four operations only; a subclass sees every put in order.
class RecordingChecker : public kobu::ParamCheckerCore {
 public:
  explicit RecordingChecker(Args args) : args_(std::move(args)) {}
  unsigned GetOrigArgCount() const override { return static_cast<unsigned>(args_.size()); }
  const char* GetOrigUtf8Arg(unsigned index) const override { return args_[index].c_str(); }
  void PutValidatedUtf8Arg(const char* text, bool isValue) override {
    puts.emplace_back(text, isValue);
  }
  void PutRuntimeInstallerUtf8Path(const char*) override { ++installerPaths; }

  std::vector<std::pair<std::string, bool>> puts;
  int installerPaths = 0;

 private:
  Args args_;
};

TEST(ParamCheckerCore, MarksOnlyTheLocationDirectoryAsAValue) {
  RecordingChecker checker({"-silent", "-location", "/d", "-programMenu", "-allowDownload"});
  bool allowDownload = false, silent = false;
  kobu::KOBUErrorCode errorCode = -1;
  ASSERT_TRUE(checker.CheckParams(allowDownload, silent, errorCode));
  using P = std::pair<std::string, bool>;
  EXPECT_THAT(checker.puts, ::testing::ElementsAre(P{"-silent", false}, P{"-location", false},
                                                   P{"/d", true}, P{"-programMenu", false}));
  EXPECT_EQ(checker.installerPaths, 0);
}

}  // namespace
