// Program entry: installs the platform, opens the main window, starts up and runs the loop.
#include <cstdio>
#include <memory>

#include "app/mainform.h"
#include "platform/platform.h"

int main() {
  std::unique_ptr<plat::IPlatform> platform(plat::CreateSdlPlatform());
  if (!platform) {
    std::fprintf(stderr, "Tangrel 2.0: no display platform is available\n");
    return 1;
  }
  plat::SetPlatform(platform.get());

  // Audio wiring (sound engine, music player) is set up here, before the main form starts.

  if (!StartMainForm()) {
    plat::SetPlatform(nullptr);
    return 1;
  }
  RunMessageLoop();
  EndMainForm();

  // Audio teardown goes here, after the main form has stopped the sound device.

  plat::SetPlatform(nullptr);
  return 0;
}
