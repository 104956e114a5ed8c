// Background music: three MIDI themes in shuffled rounds, played through the platform's
// media-control strings under the alias "mainback".
#include "media/music.h"

#include "platform/audio.h"
#include "platform/platform.h"
#include "settings/reestr.h"

const char* const ThemeFiles[3] = {"Sounds\\theme1.mid", "Sounds\\theme2.mid", "Sounds\\theme3.mid"};
std::set<int> ThemesLeft;
bool IgnoreNextNotify = false;

namespace {
// End notices still owed for plays that started ("play ... notify" succeeded). Each such
// play ends with exactly one notice: at its end, or when it is stopped or replaced.
int gNoticesOwed = 0;

int SendCommand(const std::string& command) {
  plat::IMediaControl* mc = plat::MediaControl();
  return mc ? mc->SendString(command) : -1;
}
}  // namespace

void ResetMusic() {
  ThemesLeft.clear();
  IgnoreNextNotify = false;
  gNoticesOwed = 0;
}

void InitMusicList() {
  // Theme 0 is left out: StartMusic plays it first.
  ThemesLeft = {1, 2};
}

void StartMusic() {
  if (Settings.Music) PlayMidi(ThemeFiles[0], 0);
}

std::string ChooseTheme() {
  if (ThemesLeft.empty()) ThemesLeft = {0, 1, 2};
  int pick = -1;
  // r is 0 or 1, so theme 2 comes only as the step up from 1. A generator stuck on
  // one value cannot hold us here for ever.
  for (int draws = 0; pick < 0 && draws < 1000; ++draws) {
    int r = plat::Platform().Random(2);
    if (ThemesLeft.count(r))
      pick = r;
    else if (ThemesLeft.count(r + 1))
      pick = r + 1;
  }
  if (pick < 0) pick = *ThemesLeft.begin();
  ThemesLeft.erase(pick);
  return plat::Platform().ProgramDir() + ThemeFiles[pick];
}

void PlayMidi(const std::string& fileName, int position) {
  if (!Settings.Music || fileName.empty()) return;
  SendCommand("open sequencer!\"" + fileName + "\" alias mainback wait");
  if (position != -1) SendCommand("seek mainback to " + std::to_string(position) + " wait");
  if (SendCommand("play mainback notify") == 0) ++gNoticesOwed;
}

void StopMidi() {
  SendCommand("stop mainback wait");
  SendCommand("close mainback wait");
}

void RestartMusic() {
  if (Settings.Music)
    PlayMidi(ChooseTheme(), 0);
  else
    StopMidi();
}

void OnMusicNotify() {
  if (gNoticesOwed > 0) --gNoticesOwed;
  if (!IgnoreNextNotify && Settings.Music) {
    // When a later play is still running (this notice was for a piece it replaced),
    // our stop ends that play with a notice of its own; that one must not start yet
    // another theme, or the themes would chase each other for ever.
    bool stopsRunningPlay = gNoticesOwed > 0;
    StopMidi();
    PlayMidi(ChooseTheme(), 0);
    IgnoreNextNotify = stopsRunningPlay;
    return;
  }
  IgnoreNextNotify = false;
}
