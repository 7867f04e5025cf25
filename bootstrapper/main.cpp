#include "platform/ui/Application.h"

int main(int argc, char** argv) { return platform::ui::applicationMain(argc, argv); }
