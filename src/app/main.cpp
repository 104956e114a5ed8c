// Program entry: installs the platform, opens the main window, starts up and runs the loop.
#include <cstdio>
#include <memory>

#include "platform/sdl/platform_sdl.h"
#include "app/mainform.h"
#include "platform/audio.h"
#include "platform/platform.h"

int main() {
  std::unique_ptr<plat::IPlatform> platform(plat::CreateSdlPlatform());
  if (!platform) {
    std::fprintf(stderr, "Tangrel 2.0: no display platform is available\n");
    return 1;
  }
  plat::SetPlatform(platform.get());

  // One audio stream for the effects and the music synthesiser.
  plat::InstallSdlAudio();

  if (!StartMainForm()) {
    plat::SetPlatform(nullptr);
    return 1;
  }
  RunMessageLoop();
  EndMainForm();

  // The stream stops only after the main form has closed the sound device.
  plat::ShutdownSdlAudio();

  plat::SetPlatform(nullptr);
  return 0;
}
