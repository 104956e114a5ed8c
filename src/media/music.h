// Background music: three MIDI themes in shuffled rounds, driven through media-control strings.
#pragma once
#include <cstdint>
#include <set>
#include <string>

extern const char* const ThemeFiles[3];
extern std::set<int> ThemesLeft;
extern bool IgnoreNextNotify;

void InitMusicList();
void StartMusic();
std::string ChooseTheme();
void RestartMusic();
void OnMusicNotify();
void PlayMidi(const std::string& fileName, int position);
void StopMidi();
// Back to the state before start-up (tests).
void ResetMusic();
