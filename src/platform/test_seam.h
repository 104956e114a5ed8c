// The test seam: every hook through which the tests watch or break the game, in one place.
// The game itself never sets them; left empty, each costs one test of a pointer.
#pragma once
#include <functional>
#include <string>

namespace test_seam {

// Sees the name of every effect that passes the Sounds gate, before it plays
// (PlaySound and PlaySoundWait, media/effects.cpp).
extern std::function<void(const std::string& name, bool wait)> SoundTap;

// Runs in plat::WriteFileAtomically after the temporary file has been written and synced
// and before it is renamed into place. Returning false makes the write fail there, as a
// crash would.
using AtomicWriteHook = bool (*)(const std::string& tempPath);
extern AtomicWriteHook BeforeAtomicRename;

}  // namespace test_seam
