// Music on Windows: the music player's command strings go to the system's own
// mciSendStringW, unchanged but for UTF-8 becoming UTF-16, and the end notice
// (MM_MCINOTIFY) comes to the main window.
#include "platform/win32/platform_win32.h"

// Windows headers after ours: they define the virtual-key names as macros.
#include <windows.h>
#include <mmsystem.h>

#include <memory>
#include <string>

namespace plat {

namespace {

class Win32MediaControl : public IMediaControl {
 public:
  int SendString(const std::string& command) override {
    // Without a MIDI output a sequencer cannot play; refusing here also keeps a failing
    // play from sending end notices that would start the next theme at once, for ever.
    if (midiOutGetNumDevs() == 0) return static_cast<int>(MCIERR_DEVICE_NOT_INSTALLED);
    // The command carries the theme's file name, so it goes through the wide call.
    return static_cast<int>(mciSendStringW(Utf8ToWide(command).c_str(), nullptr, 0, static_cast<HWND>(Win32MainWindow())));
  }
};

}  // namespace

std::unique_ptr<IMediaControl> CreateWin32MediaControl() { return std::make_unique<Win32MediaControl>(); }

}  // namespace plat
