// The Win32 platform: its factories, and its pure helpers open to tests. No Windows header
// here: handles and codes are passed as plain numbers.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/audio.h"
#include "platform/platform.h"
#include "platform/registry.h"
#include "platform/types.h"

namespace plat {

// The Win32 implementation; the program installs it at start.
IPlatform* CreateWin32Platform();

// The main window's handle (an HWND), null before it opens; the media control names it as
// the window that receives the music's end notices.
void* Win32MainWindow();

// The folder of the running program, with its trailing separator; empty when not known.
// The fonts shipped with the game are found there (files_win32.cpp).
std::string Win32ProgramFolder();

// The real registry under HKEY_CURRENT_USER; every change goes to it at once.
std::unique_ptr<IRegistry> CreateWin32Registry();

// Installs the waveOut output fed by our mixer and the system's media control
// (mciSendStringA, end notices to the main window). ShutdownWin32Audio stops and frees them.
void InstallWin32Audio();
void ShutdownWin32Audio();
// The system's media control alone (mci_win32.cpp).
std::unique_ptr<IMediaControl> CreateWin32MediaControl();

// "\Software\X\Y" as the registry API wants it: "Software\X\Y".
std::string RegistrySubKey(const std::string& keyPath);

// The letterbox of an 800 x 600 picture in a client area: scale and offset, and the mapping
// of a client point back onto the picture (kept inside it).
struct Letterbox {
  double Scale = 1;
  int X = 0, Y = 0, W = 800, H = 600;  // where the picture lands
};
Letterbox FitPicture(int clientW, int clientH, int picW, int picH);
TPoint ClientToPicture(const Letterbox& box, int x, int y, int picW, int picH);

}  // namespace plat
