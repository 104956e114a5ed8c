// Background music: three MIDI themes in shuffled rounds, driven through media-control strings.
#pragma once
#include <cstdint>
#include <set>
#include <string>

extern const char* const ThemeFiles[3];
extern std::set<int> ThemesLeft;
extern bool IgnoreNextNotify;

// Called by FormCreate: the themes left in this round, then the first theme.
void InitMusicList();
void StartMusic();
std::string ChooseTheme();
void RestartMusic();  // called by the OK of the options page, after Music may have changed
// Called by the message loop for the MusicNotify event of the platform: the next theme.
void OnMusicNotify();
void PlayMidi(const std::string& fileName, int position);
void StopMidi();
// Back to the state before start-up (tests).
void ResetMusic();
