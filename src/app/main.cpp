// Program entry: installs the SDL platform, opens the main window, starts up and runs the loop.
#include <memory>

#include "app/loop.h"
#include "platform/sdl/platform_sdl.h"

int main() {
  std::unique_ptr<plat::IPlatform> platform(plat::CreateSdlPlatform());
  // One audio stream for the effects and the music synthesiser.
  return RunProgram(platform.get(), plat::InstallSdlAudio, plat::ShutdownSdlAudio);
}
