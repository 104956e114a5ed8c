// Program entry on Windows: installs the Win32 platform, opens the main window, starts up
// and runs the loop, as main.cpp does on Linux.
#include <cstdio>
#include <memory>

#include "app/mainform.h"
#include "platform/audio.h"
#include "platform/platform.h"
#include "platform/win32/platform_win32.h"

int main() {
  std::unique_ptr<plat::IPlatform> platform(plat::CreateWin32Platform());
  if (!platform) return 1;
  plat::SetPlatform(platform.get());

  // waveOut for the effects; the system's media control for the music.
  plat::InstallWin32Audio();

  if (!StartMainForm()) {
    plat::ShutdownWin32Audio();
    plat::SetPlatform(nullptr);
    return 1;
  }
  RunMessageLoop();
  EndMainForm();

  // The stream stops only after the main form has closed the sound device.
  plat::ShutdownWin32Audio();

  plat::SetPlatform(nullptr);
  return 0;
}
