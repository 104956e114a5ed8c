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

// The folder of the running program, with its trailing separator, in UTF-8; empty when not
// known. The fonts shipped with the game are found there (files_win32.cpp).
std::string Win32ProgramFolder();

// UTF-8, the game's own text, and UTF-16, what the wide calls take (utf8_win32.cpp). Bytes
// that are not UTF-8, and lone surrogates, become U+FFFD; nothing fails.
std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const std::wstring& text);
std::string WideToUtf8(const wchar_t* text, size_t units);

// The real registry under HKEY_CURRENT_USER; every change goes to it at once.
std::unique_ptr<IRegistry> CreateWin32Registry();

// Installs the waveOut output fed by our mixer and the system's media control
// (mciSendStringW, end notices to the main window). ShutdownWin32Audio stops and frees them.
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
