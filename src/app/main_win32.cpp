// Program entry on Windows: installs the Win32 platform, opens the main window, starts up
// and runs the loop, as main.cpp does on Linux.
#include <memory>

#include "app/loop.h"
#include "platform/win32/platform_win32.h"

int main() {
  std::unique_ptr<plat::IPlatform> platform(plat::CreateWin32Platform());
  // waveOut for the effects; the system's media control for the music.
  return RunProgram(platform.get(), plat::InstallWin32Audio, plat::ShutdownWin32Audio);
}
