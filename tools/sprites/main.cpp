// tangrel-art: writes Sprites.gpk, Textures.gpk and the review contact sheet.
// Usage: tangrel-art sprites OUT.gpk | textures OUT.gpk | sheet OUT.png | icon OUT.png
//        | icons DIR (DIR/<n>x<n>/apps/tangrel.png at every icon size)
//        | ico OUT.ico (the Windows program's icon, every size in one file)
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>

#include "art.h"
#include "generators.h"
#include "icon.h"
#include "sheet.h"

namespace {
bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return bool(f);
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s sprites|textures|sheet|icon|icons|ico OUTPUT\n", argv[0]);
    return 2;
  }
  std::string what = argv[1], out = argv[2];
  try {
    art::InitFonts();
    bool ok = false;
    if (what == "sprites") {
      ok = WriteFile(out, WriteImagePackage(BuildSprites()));
    } else if (what == "textures") {
      ok = WriteFile(out, WriteImagePackage(BuildTextures()));
    } else if (what == "icon") {
      ok = WriteIcon(out, BuildTextures(), 64);
    } else if (what == "icons") {
      const auto textures = BuildTextures();
      ok = true;
      for (int n : kIconSizes) {
        const std::string dir = out + "/" + std::to_string(n) + "x" + std::to_string(n) + "/apps";
        std::error_code ec;
        std::filesystem::create_directories(dir, ec);
        ok = !ec && WriteIcon(dir + "/tangrel.png", textures, n) && ok;
      }
    } else if (what == "ico") {
      WriteWindowsIcon(out, BuildTextures());
      ok = true;
    } else if (what == "sheet") {
      WriteContactSheet(out, BuildSprites(), BuildTextures());
      ok = true;
    } else {
      std::fprintf(stderr, "unknown output kind '%s'\n", what.c_str());
      art::DoneFonts();
      return 2;
    }
    art::DoneFonts();
    if (!ok) {
      std::fprintf(stderr, "cannot write %s\n", out.c_str());
      return 1;
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  return 0;
}
