// The program's main interface: the objects an interface resource would create and connect.
#include "bootstrapper/Bootstrapper.h"

namespace {

class BootstrapperInterface : public platform::ui::MainInterface {
 public:
  platform::ui::ApplicationDelegate& delegate() override { return bootstrapper_; }

 private:
  Bootstrapper bootstrapper_;
};

}  // namespace

std::unique_ptr<platform::ui::MainInterface> platform::ui::loadMainInterface() {
  return std::make_unique<BootstrapperInterface>();
}
