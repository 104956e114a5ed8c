// Playing sound effects by name through the main form's effect list.
#include "media/effects.h"

#include "app/mainform.h"
#include "settings/reestr.h"

std::function<void(const std::string&, bool)> SoundTap;

void PlaySound(const std::string& name) {
  if (!Settings.Sounds) return;
  if (SoundTap) SoundTap(name, false);
  if (!MainForm) return;
  try {
    MainForm->WaveList.Find(name).Play(false);
  } catch (const std::exception&) {
    // A missing effect is not worth interrupting the game for.
  }
}

void PlaySoundWait(const std::string& name) {
  if (!Settings.Sounds) return;
  if (SoundTap) SoundTap(name, true);
  if (!MainForm) return;
  MainForm->WaveList.Find(name).Play(true);
}
