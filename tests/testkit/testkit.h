// The test kit every fixture and the performance report stand on: a scratch working folder,
// the start-up state of every unit on the test double, the effects heard, sprites and
// textures made in memory or written as packages, the draw device alone with pieces on it,
// and level texts. Needs no test framework.
#pragma once
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "app/mainform.h"
#include "app/shell.h"
#include "media/imagelist.h"
#include "media/package.h"
#include "platform/fake/fake_platform.h"
#include "platform/test_seam.h"
#include "puzzle/pieces.h"

namespace testkit {

namespace fs = std::filesystem;

// A fresh folder under the system's temporary folder that the process works in; the old
// working folder comes back, and the folder goes, at Leave() or at the end of the scope.
class ScratchFolder {
 public:
  ScratchFolder() = default;
  ~ScratchFolder() { Leave(); }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // False when the folder cannot be made; the working folder is then unchanged.
  bool Enter(const std::string& tag) {
#ifdef _WIN32
    // No mkdtemp there: a random name, taken only when the folder is new.
    std::random_device rd;
    std::error_code made;
    fs::path fresh;
    for (int attempt = 0; attempt < 100 && fresh.empty(); ++attempt) {
      fs::path p = fs::temp_directory_path() /
                   ("tangrel_" + tag + "_" + std::to_string(rd()) + std::to_string(rd()));
      if (fs::create_directory(p, made) && !made) fresh = p;
    }
    if (fresh.empty()) return false;
    oldDir = fs::current_path();
    path = fresh;
#else
    std::string tmpl = (fs::temp_directory_path() / ("tangrel_" + tag + "_XXXXXX")).string();
    if (!mkdtemp(tmpl.data())) return false;
    oldDir = fs::current_path();
    path = tmpl;
#endif
    std::error_code ec;
    fs::current_path(path, ec);
    return !ec;
  }
  void Leave() {
    std::error_code ec;
    if (!oldDir.empty()) fs::current_path(oldDir, ec);
    if (!path.empty()) fs::remove_all(path, ec);
    oldDir.clear();
    path.clear();
  }
  std::string Dir() const { return path.string(); }

  fs::path path;  // empty until Enter succeeds

 private:
  fs::path oldDir;
};

// Every unit at its start-up state, on the given double, with the settings store and the
// program's folder in dir.
inline void StartUnits(plat::FakePlatform& fake, const std::string& dir) {
  plat::SetPlatform(&fake);
  fake.configDir = dir + "/";
  fake.programDir = dir + "/";
  ResetAllUnits();
}

// The effects that passed the Sounds gate, by name, and whether each waited.
class SoundLog {
 public:
  SoundLog() = default;
  ~SoundLog() { Stop(); }
  SoundLog(const SoundLog&) = delete;
  SoundLog& operator=(const SoundLog&) = delete;

  void Listen() {
    test_seam::SoundTap = [this](const std::string& name, bool wait) {
      names.push_back(name);
      calls.emplace_back(name, wait);
    };
  }
  void Stop() { test_seam::SoundTap = nullptr; }
  int Count(const std::string& name) const {
    int n = 0;
    for (const auto& s : names) n += s == name;
    return n;
  }

  std::vector<std::string> names;
  std::vector<std::pair<std::string, bool>> calls;
};

// --- pictures ------------------------------------------------------------------------------

// A sprite of flat patterns side by side: pattern k is color + k, never black (black is the
// transparent colour).
struct SpriteSpec {
  const char* name;
  int w, h, patterns;
  uint32_t color;  // 0x00RRGGBB of pattern 0
};

inline const std::vector<SpriteSpec> kStandardSprites = {
      {"Loading", 100, 50, 1, 0x404040},      {"CursorPnt", 10, 10, 1, 0xFFFF00},
      {"RotateCW", 36, 36, 14, 0x00A000},      {"RotateCCW", 36, 36, 14, 0x00B000},
      {"Complete_52x100", 198, 100, 1, 0x3050F0}, {"Slot", 300, 300, 1, 0x202020},
      {"pan_numbers", 15, 20, 10, 0xC0C0C0},   {"bigpanel", 137, 149, 1, 0x101080},
      {"smalpanel", 77, 40, 1, 0x101081},      {"pan_level", 99, 25, 2, 0x201010},
      {"pan_menu", 99, 25, 2, 0x202010},       {"pan_next", 99, 25, 2, 0x203010},
      {"pan_prev", 99, 25, 2, 0x204010},       {"pan_minimize", 25, 25, 2, 0x205010},
      {"pan_close", 25, 25, 2, 0x206010},      {"pan_time", 90, 30, 1, 0x207010},
      {"pan_fortext", 180, 100, 1, 0x208010},  {"pan_nexttip", 20, 20, 2, 0x209010},
      {"btn_OK", 60, 30, 2, 0x20A010},         {"menufone", 800, 600, 1, 0x102030},
      // The menu's pictures, small and plain.
      {"menu_Episode1_41x62", 150, 30, 1, 0x301010}, {"menu_Episode2_41x97", 150, 30, 1, 0x301011},
      {"menu_Episode3_41x133", 150, 30, 1, 0x301012}, {"menu_Episode4_41x169", 150, 30, 1, 0x301013},
      {"menu_Episode5_41x204", 150, 30, 1, 0x301014}, {"menu_Options_25x276", 150, 30, 1, 0x301015},
      {"menu_Help_25x310", 150, 30, 1, 0x301016},  {"menu_Exit_25x381", 150, 30, 1, 0x301017},
      {"bsURLactive_16x445", 150, 20, 1, 0x301018}, {"menu_Legend_226x426", 200, 30, 1, 0x301019},
      {"menu_slot_210x69", 400, 300, 1, 0x30101A}, {"_level", 60, 20, 2, 0x30101B},
      {"_box", 20, 20, 2, 0x30101C},               {"_checkedbox", 20, 20, 2, 0x30101D},
      {"_greenstar", 20, 20, 2, 0x30101E},         {"_goldstar", 20, 20, 2, 0x30101F},
      {"_redstar", 20, 20, 2, 0x301020},           {"0", 20, 20, 2, 0x301021},
      {"1", 20, 20, 2, 0x301023},                  {"2", 20, 20, 2, 0x301025},
      {"3", 20, 20, 2, 0x301027},                  {"4", 20, 20, 2, 0x301029},
      {"5", 20, 20, 2, 0x30102B},                  {"6", 20, 20, 2, 0x30102D},
      {"7", 20, 20, 2, 0x30102F},                  {"8", 20, 20, 2, 0x301031},
      {"9", 20, 20, 2, 0x301033},                  {"menu_headerOptions_303x85", 200, 40, 1, 0x301035},
      {"menu_OptionsItems", 200, 200, 1, 0x301036}, {"btn_Easy", 60, 30, 2, 0x301037},
      {"btn_Normal", 60, 30, 2, 0x301039},         {"btn_Yes", 60, 30, 2, 0x30103B},
      {"btn_No", 60, 30, 2, 0x30103D},             {"menu_Help_311x150", 300, 250, 1, 0x30103F},
      {"menu_headerExit", 200, 40, 1, 0x301040},   {"menu_trymoregames", 200, 40, 1, 0x301041},
};
inline const std::vector<SpriteSpec>& StandardSprites() { return kStandardSprites; }

// Texture i is a 64 x 64 square of one colour.
inline uint32_t TextureColor(int i) { return 0x500000u + static_cast<uint32_t>(i) * 0x000F0Fu + 0x10; }

inline TPicture MakePicture(const SpriteSpec& s) {
  TPicture p;
  p.Width = s.w * s.patterns;
  p.Height = s.h;
  p.Pixels.resize(static_cast<size_t>(p.Width) * p.Height);
  for (int y = 0; y < p.Height; ++y)
    for (int x = 0; x < p.Width; ++x)
      p.Pixels[static_cast<size_t>(y) * p.Width + x] = s.color + static_cast<uint32_t>(x / s.w);
  return p;
}

// An item with a picture of its own; patterns of w x h, black transparent.
inline TImageItem& AddPicture(TImageList& list, const std::string& name, TPicture picture, int w, int h) {
  TImageItem& it = list.Add();
  it.Name = name;
  it.Picture = std::move(picture);
  it.PatternWidth = w;
  it.PatternHeight = h;
  it.Transparent = true;
  it.TransparentColor = clBlack;
  return it;
}

inline void AddSprite(TImageList& list, const SpriteSpec& s) { AddPicture(list, s.name, MakePicture(s), s.w, s.h); }

// The standard sprites, and eleven textures of one colour each.
inline void AddStandardImages(TImageList& sprites, TImageList& textures) {
  for (const auto& s : StandardSprites()) AddSprite(sprites, s);
  for (int i = 0; i < 11; ++i) AddSprite(textures, {"tex", 64, 64, 1, TextureColor(i)});
}

inline void WriteBytes(const fs::path& file, const std::vector<uint8_t>& bytes) {
  std::ofstream o(file, std::ios::binary);
  o.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// The standard images as "Sprites.gpk" and "Textures.gpk", and an empty "Sounds.spk".
inline void WritePackages(const std::string& dir) {
  std::vector<TImageItemData> sprites, textures;
  const auto item = [](std::string name, const SpriteSpec& s) {
    TImageItemData d;
    d.Name = std::move(name);
    d.PatternWidth = s.w;
    d.PatternHeight = s.h;
    d.Transparent = true;
    d.HasPicture = true;
    d.Picture = MakePicture(s);
    return d;
  };
  for (const auto& s : StandardSprites()) sprites.push_back(item(s.name, s));
  for (int i = 0; i < 11; ++i) {
    TImageItemData d;
    d.Name = "tex" + std::to_string(i);
    d.HasPicture = true;
    d.Picture = MakePicture({"tex", 64, 64, 1, TextureColor(i)});
    textures.push_back(std::move(d));
  }
  WriteBytes(dir + "/Sprites.gpk", WriteImagePackage(sprites));
  WriteBytes(dir + "/Textures.gpk", WriteImagePackage(textures));
  WriteBytes(dir + "/Sounds.spk", WriteWavePackage({}));
}

// --- the draw device and pieces --------------------------------------------------------

// A flat grey "Slot", 300 x 300.
inline void AddGreySlot(TImageList& list) {
  TImageItem& slot = list.Add();
  slot.Name = "Slot";
  slot.Picture.Width = slot.Picture.Height = 300;
  slot.Picture.Pixels.assign(300 * 300, 0x808080);
}

// Only the device, with no shell start-up behind it, and the form's pictures ready on it.
inline void OpenDrawDeviceAlone(TMainForm& form) {
  form.DrawDevice.OnInitialize = nullptr;
  form.DrawDevice.OnFinalize = nullptr;
  form.DrawDevice.Initialize();
  form.ImageList.RestoreAll();
  form.TexList.RestoreAll();
}

// Puts piece n (its corners' offsets already set) at pos, n-th in the stack with its texture
// turned by 20 n; its pictures are all to be built afresh and its corners are worked out.
inline void PlacePiece(int n, TPoint pos) {
  TPiece& p = PieceTable[n];
  p.Position = pos;
  p.StackOrder = n;
  p.TextureTurn = static_cast<uint8_t>(20 * n);
  for (auto& im : p.Images) {
    im.Image = std::make_unique<TSurface>();
    im.Built = 0;
  }
  UpdateCorners(static_cast<uint8_t>(n));
}

// --- level files ------------------------------------------------------------------------

inline void WriteText(const fs::path& file, const std::string& text) {
  std::ofstream(file, std::ios::binary) << text;
}

// Four 100 x 100 squares that fill the slot-box.
inline std::string FourSquares(int level, int medTime = 120) {
  std::string s = "[level" + std::to_string(level) + "]\nNumFig=4\nMedTime=" + std::to_string(medTime) + "\n";
  const int pos[4][2] = {{350, 150}, {450, 150}, {350, 250}, {450, 250}};
  const int off[4][2] = {{-50, -50}, {50, -50}, {50, 50}, {-50, 50}};
  for (int j = 1; j <= 4; ++j) {
    s += "Tip" + std::to_string(j) + "=4\n";
    for (int i = 1; i <= 4; ++i) {
      s += "Form_" + std::to_string(j) + "_" + std::to_string(i) + "_X=" + std::to_string(off[i - 1][0]) + "\n";
      s += "Form_" + std::to_string(j) + "_" + std::to_string(i) + "_Y=" + std::to_string(off[i - 1][1]) + "\n";
    }
    s += "Form_" + std::to_string(j) + "_X=" + std::to_string(pos[j - 1][0]) + "\n";
    s += "Form_" + std::to_string(j) + "_Y=" + std::to_string(pos[j - 1][1]) + "\n";
  }
  return s;
}

// Two triangles cut along the slot-box's diagonal (corners listed in opposite windings).
inline std::string TwoTriangles(int level) {
  return "[LEVEL" + std::to_string(level) +
         "]\nnumfig=2\nMedTime=$1F4\nTip1=3\n"
         "Form_1_1_X=-66\nForm_1_1_Y=-66\nForm_1_2_X=134\nForm_1_2_Y=-66\nForm_1_3_X=-66\nForm_1_3_Y=134\n"
         "Form_1_X=366\nForm_1_Y=166\n"
         "Tip2=3\n"
         "Form_2_1_X=67\nForm_2_1_Y=-133\nForm_2_2_X=-133\nForm_2_2_Y=67\nForm_2_3_X=67\nForm_2_3_Y=67\n"
         "Form_2_X=433\nForm_2_Y=233\n";
}

// Level 0: two 100 x 200 bars that fill the slot-box side by side.
inline std::string TwoBars() {
  return "[level0]\nNumFig=2\nMedTime=300\n"
         "Tip1=4\nForm_1_1_X=-50\nForm_1_1_Y=-100\nForm_1_2_X=50\nForm_1_2_Y=-100\n"
         "Form_1_3_X=50\nForm_1_3_Y=100\nForm_1_4_X=-50\nForm_1_4_Y=100\nForm_1_X=350\nForm_1_Y=200\n"
         "Tip2=4\nForm_2_1_X=-50\nForm_2_1_Y=-100\nForm_2_2_X=50\nForm_2_2_Y=-100\n"
         "Form_2_3_X=50\nForm_2_3_Y=100\nForm_2_4_X=-50\nForm_2_4_Y=100\nForm_2_X=450\nForm_2_Y=200\n";
}

// The four committed level files, copied into dir; false when they are not there to copy.
inline bool CopyLevelFiles(const fs::path& dir) {
  const fs::path levels = fs::path(TANGREL_SOURCE_DIR) / "data" / "levels";
  std::error_code ec;
  if (!fs::is_directory(levels, ec)) return false;
  for (const char* f : {"Episode0.dat", "Episode50.dat", "Episode75.dat", "Episode90.dat"})
    if (!fs::copy_file(levels / f, dir / f, fs::copy_options::overwrite_existing, ec)) return false;
  return true;
}

// The data files of the generated game folder (not the program, not a progress file) into to.
inline bool CopyGameFolder(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  fs::create_directories(to, ec);
  for (const auto& e : fs::directory_iterator(from, ec)) {
    const std::string name = e.path().filename().string();
    if (name == "tangrel" || name == "Users.dat") continue;
    fs::copy(e.path(), to / name, fs::copy_options::recursive | fs::copy_options::overwrite_existing, ec);
    if (ec) return false;
  }
  return !ec;
}

}  // namespace testkit
