// The SDL platform: its factories, and its pure helpers open to tests (key and modifier
// translation). No SDL header here: codes are passed as plain numbers (SDL_Keycode,
// SDL_Scancode, SDL_Keymod).
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/audio.h"
#include "platform/mci.h"
#include "platform/platform.h"
#include "platform/types.h"

namespace plat {

// The virtual-key code the game tests for an SDL key ('A'..'Z' 65..90, '0'..'9' 48..57,
// Space 32, Backspace 8, Enter 13, Escape 27, F1..F12 112..123, arrows 37..40, ...).
// Letters, digits and the punctuation keys fall back on the key's position when the layout
// gives them letters of its own (a German o umlaut is 186, the ISO key beside Shift 226).
// Every other key is kVkOtherKey: still a key press, bound by no rule of the game.
constexpr uint16_t kVkOtherKey = 255;
uint16_t VirtualKeyFromSdl(int32_t keycode, int32_t scancode);

// Shift, Alt and Ctrl of an SDL modifier mask.
TShiftState ShiftFromSdlMod(uint16_t mod);

// The SDL implementation; the program installs it at start.
IPlatform* CreateSdlPlatform();

// Connects to a display the player can see (after CreateSdlPlatform). SDL's drivers that
// draw nowhere ("offscreen", "dummy") are taken only when SDL_VIDEODRIVER names them; without
// a real display this fails with SDL's reason in `reason`, and the game should end.
bool OpenSdlDisplay(std::string& reason);

// Text broken into lines of at most `width` characters at its spaces (a longer word stands
// on a line of its own); its own line breaks are kept.
std::string WrapLines(const std::string& text, size_t width);

// A note for the player in a box of its own, before the game's window opens (after
// OpenSdlDisplay); also one line on standard error. No box under TANGREL_NO_DIALOGS.
void ShowSdlNotice(const std::string& text);

// Installs the SDL output and the FluidSynth-backed media control (the program's main
// calls this once after the platform is installed). ShutdownSdlAudio stops the stream
// and frees them; it also runs at exit.
void InstallSdlAudio();
void ShutdownSdlAudio();

// The FluidSynth player with a SoundFont, rendering into `out` (music_fluid_sdl.cpp).
std::unique_ptr<IMusicBackend> CreateFluidMusicBackend(IAudioOutput* out, const std::string& soundFont);

}  // namespace plat
