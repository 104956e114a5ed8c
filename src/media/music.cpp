// Placeholder until this unit is built; replaced by the real one.
#include "media/music.h"

const char* const ThemeFiles[3] = {"Sounds\\theme1.mid", "Sounds\\theme2.mid", "Sounds\\theme3.mid"};
std::set<int> ThemesLeft;
bool IgnoreNextNotify = false;

void InitMusicList() { }
void StartMusic() { }
std::string ChooseTheme() { return {}; }
void RestartMusic() { }
void OnMusicNotify() { }
void PlayMidi([[maybe_unused]] const std::string& fileName, [[maybe_unused]] int position) { }
void StopMidi() { }
