// Playing sound effects by name. Both are silent while the Sounds setting is off.
#pragma once
#include <string>

// Called by every screen on hover and click.
// Plays an effect and returns at once; any error, an absent name included, is ignored.
void PlaySound(const std::string& name);
// Plays an effect and returns when it has finished; "Wave '%s' not found" goes to the caller.
void PlaySoundWait(const std::string& name);
