// Reading a data file by name with the standard library.
#include "platform/files.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace plat {

TFileRead ReadFileByName(const std::string& name, size_t maxBytes, std::vector<uint8_t>& bytes,
                         bool* truncated) {
  bytes.clear();
  if (truncated) *truncated = false;
  std::error_code ec;
  // Asked first, so that a pipe or device put in the file's place cannot hang the game.
  if (!std::filesystem::is_regular_file(name, ec)) return TFileRead::CannotOpen;
  std::ifstream in(name, std::ios::binary);
  if (!in) return TFileRead::CannotOpen;
  const std::uintmax_t size = std::filesystem::file_size(name, ec);
  if (ec) return TFileRead::ReadFailed;
  const size_t want = static_cast<size_t>(std::min<std::uintmax_t>(size, maxBytes));
  bytes.resize(want);
  if (want > 0) in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(want));
  if (static_cast<size_t>(in.gcount()) != want) {
    bytes.clear();
    return TFileRead::ReadFailed;
  }
  if (truncated) *truncated = size > maxBytes;
  return TFileRead::Ok;
}

}  // namespace plat
