#pragma once

#include <optional>
#include <string>
#include <vector>

#include "params/KOBU.h"

namespace kobu {

// The checker over the process's own arguments.
class ParamChecker : public ParamCheckerCore {
 public:
  // processArguments is the full argument list, element 0 being the program's path. That
  // element and every argument beginning with "-psn" (the launcher's serial number) are left out.
  explicit ParamChecker(const std::vector<std::string>& processArguments);
  ~ParamChecker() override = default;

  unsigned GetOrigArgCount() const override;
  const char* GetOrigUtf8Arg(unsigned index) const override;
  void PutValidatedUtf8Arg(const char* text, bool isValue) override;
  void PutRuntimeInstallerUtf8Path(const char* path) override;

  // The validated arguments in the order they were put; null when none was put. The checker
  // keeps ownership: a holder that needs them longer takes a copy.
  const std::vector<std::string>* ParamArray() const { return paramArray ? &*paramArray : nullptr; }

 private:
  std::vector<std::string> origArgs;
  std::optional<std::vector<std::string>> paramArray;
  std::optional<std::string> runtimeInstallerPath;
};

}  // namespace kobu
