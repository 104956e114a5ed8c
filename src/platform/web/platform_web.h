// The platform in a web browser (WebAssembly): the picture on the page's canvas, the page's
// input, the browser's clock, WebAudio for the sound and an audio element for the music, the
// page's local storage behind the settings and progress files. The browser owns the loop:
// the program's entry (main_web.cpp) runs one turn of it per animation frame.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/audio.h"
#include "platform/mci.h"
#include "platform/platform.h"

namespace plat::web {

// The browser platform; the program installs it at start.
IPlatform* CreateWebPlatform();

// Installs the WebAudio output and the media control playing the rendered themes.
void InstallWebAudio();
void ShutdownWebAudio();

// Once per turn of the browser's loop, before the game's own: the touch hold, the timers.
void PlatformTurn();
// Calls fn when the page is hidden or is about to go (pagehide), also while the game waits
// for a sound; the entry saves there what the game writes when it closes.
void OnPageHidden(std::function<void()> fn);
// The page's state for the page and its tests (document.body.dataset.game): "loading" at
// start, "running" once a frame shows (set by Present), "ended" after the close.
void SetPageState(const char* state);
// The game has closed: the page shows its end.
void ShowEnd();
// Whether the game waits inside a sound just now (its loop must not run again meanwhile).
bool Sleeping();
// Whether the game may wait (give the browser its turn) inside what runs now: only in the
// turns of the browser's loop, not inside a page callback that runs the loop once more.
void AllowWaits(bool allow);

// The settings and progress files from the page's local storage into the program's files
// (at start); from then on each finished replace of one is kept there, and a refused write
// reported once.
void RestoreStoredFiles(const std::string& configDir, const std::string& workDir);

// The media-control backend that plays "Sounds\themeN.mid" as music/themeN.ogg.
std::unique_ptr<IMusicBackend> CreateWebMusicBackend();

}  // namespace plat::web
