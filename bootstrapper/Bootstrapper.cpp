#include "bootstrapper/Bootstrapper.h"

#include "libinstall/InstallLogMsgs.h"
#include "params/ParamChecker.h"
#include "platform/Bundle.h"
#include "platform/ProcessInfo.h"

void Bootstrapper::applicationDidFinishLaunching() {
  auto& application = platform::ui::Application::shared();
  const std::string version =
      platform::Bundle::mainBundle().infoValue("CFBundleVersion").value_or("");

  kobu::ParamChecker checker(platform::ProcessInfo::arguments());
  bool allowDownload = false;
  bool silent = false;
  kobu::KOBUErrorCode errorCode = 2;
  if (!checker.CheckParams(allowDownload, silent, errorCode)) application.terminate(errorCode);

  install::logApplicationBegin("Bootstrapper", version.c_str(), "Mac", "x86");
  application.terminate(0);
}
