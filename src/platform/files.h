// Reading a data file by name: the one door through which the game's own files come in
// (packages, level files). Shared by every platform implementation (files.cpp, on the
// system calls of files_os.h).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace plat {

enum class TFileRead : uint8_t {
  Ok,
  CannotOpen,  // no such file, not a regular file (a folder, a pipe), or no right to open it
  ReadFailed,  // opened, but its bytes could not all be read
};

// Reads the regular file called name (relative names from the working folder), at most
// maxBytes of it; truncated, when given, says whether the file held more. Anything but Ok
// leaves bytes empty. Called by ReadPackageFile (media/package.cpp) and TIniFile::LoadFromFile.
TFileRead ReadFileByName(const std::string& name, size_t maxBytes, std::vector<uint8_t>& bytes,
                         bool* truncated = nullptr);

}  // namespace plat
