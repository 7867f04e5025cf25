#include "params/ParamChecker.h"

namespace kobu {

ParamChecker::ParamChecker(const std::vector<std::string>& processArguments) {
  for (std::size_t i = 1; i < processArguments.size(); ++i) {
    if (processArguments[i].starts_with("-psn")) continue;
    origArgs.push_back(processArguments[i]);
  }
}

unsigned ParamChecker::GetOrigArgCount() const { return static_cast<unsigned>(origArgs.size()); }

const char* ParamChecker::GetOrigUtf8Arg(unsigned index) const { return origArgs[index].c_str(); }

void ParamChecker::PutValidatedUtf8Arg(const char* text, bool /*isValue*/) {
  if (!paramArray) paramArray.emplace();
  paramArray->emplace_back(text);
}

void ParamChecker::PutRuntimeInstallerUtf8Path(const char* path) { runtimeInstallerPath = path; }

}  // namespace kobu
