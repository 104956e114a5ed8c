// tangrel-pack: lists, extracts and builds the game's image (.gpk) and wave (.spk) packages.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "media/game_assets.h"
#include "media/package.h"
#include "toolkit.h"

namespace {

const char* const kUsage =
    "usage: tangrel-pack list [--kind image|wave] PACKAGE\n"
    "       tangrel-pack extract [--kind image|wave] PACKAGE DIR\n"
    "       tangrel-pack build MANIFEST OUTPUT\n"
    "       tangrel-pack check [--kind image|wave] PACKAGE\n"
    "       tangrel-pack --help\n";

const char* const kHelp =
    "\n"
    "list     prints the package's items as one JSON object on standard output.\n"
    "extract  writes DIR/NNN.png (the decoded picture, 8-bit RGB) or DIR/NNN.wav (the stored\n"
    "         \"fmt \" and \"data\" chunks) for each item with a picture or a wave; NNN is the\n"
    "         item's index from 000. DIR is created when missing. Empty pictures are skipped.\n"
    "build    makes a package from a manifest.\n"
    "check    says whether the package holds everything the game uses from it: every sprite\n"
    "         with the patterns (and, where a screen needs it, the size) it is drawn with, all\n"
    "         textures (a package named Textures*.gpk), or every sound effect. Prints one line\n"
    "         per problem (\"RotateCW needs 14 patterns, has 10\") and exits with 1 if any.\n"
    "\n"
    "--kind defaults from the package name: .gpk image, .spk wave.\n"
    "Failures print \"tangrel-pack: <reason>\" and exit with 1; wrong usage exits with 2.\n"
    "\n"
    "Manifest: a text file, one statement per line; '#' starts a comment line; blank lines\n"
    "are ignored; keywords ignore letter case; paths are relative to the manifest's folder.\n"
    "  kind image|wave         the package kind (default: from OUTPUT's extension)\n"
    "  colortable FILE         image packages: a raw 1024-byte palette (\"List.ColorTable\")\n"
    "  item NAME               starts the next item; NAME is the rest of the line, may be empty\n"
    "image item statements:\n"
    "  picture FILE            a .png or .bmp picture (PNG alpha is dropped unless alphakey)\n"
    "  emptypicture            a \"TDIB\" picture with no pixels\n"
    "  patternwidth N          patternheight N      skipwidth N       skipheight N\n"
    "  transparent true|false  (default true)       systemmemory true|false (default false)\n"
    "  transparentcolor C      C is a colour name (clFuchsia, clNone, clBtnFace, ...), a\n"
    "                          decimal integer, or $BBGGRR / 0xBBGGRR in hex ($00BBGGRR order)\n"
    "  alphakey                PNG pixels with alpha below 128 take the transparent colour\n"
    "wave item statements:\n"
    "  wave FILE               a RIFF WAVE file (its \"fmt \" and \"data\" chunks are stored)\n"
    "  looped true|false       maxplayingcount N\n"
    "Example:\n"
    "  kind image\n"
    "  item Loading\n"
    "  picture art/loading.png\n"
    "  item pan_numbers\n"
    "  picture art/numbers.bmp\n"
    "  patternwidth 11\n"
    "  transparentcolor clFuchsia\n";

enum class TKind { Unknown, Image, Wave };

struct TUsageError {};

std::string Lower(std::string s) {
  for (char& ch : s)
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
  return s;
}

TKind KindFromName(const std::string& fileName) {
  std::string ext = Lower(std::filesystem::path(fileName).extension().string());
  if (ext == ".gpk") return TKind::Image;
  if (ext == ".spk") return TKind::Wave;
  return TKind::Unknown;
}

TKind ParseKind(const std::string& word) {
  if (word == "image") return TKind::Image;
  if (word == "wave") return TKind::Wave;
  return TKind::Unknown;
}

// Names are bytes from a stranger: valid UTF-8 passes, anything else becomes U+FFFD.
std::string JsonString(const std::string& s) {
  std::string out = "\"";
  size_t i = 0;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
      ++i;
    } else if (c < 0x20 || c == 0x7F) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
      ++i;
    } else if (c < 0x80) {
      out += static_cast<char>(c);
      ++i;
    } else {
      int n = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 0;
      bool ok = n > 0 && i + n <= s.size();
      uint32_t cp = n == 4 ? c & 0x07 : n == 3 ? c & 0x0F : c & 0x1F;
      for (int k = 1; ok && k < n; ++k) {
        unsigned char d = static_cast<unsigned char>(s[i + k]);
        ok = (d & 0xC0) == 0x80;
        cp = (cp << 6) | (d & 0x3F);
      }
      ok = ok && !(n == 3 && (cp < 0x800 || (cp >= 0xD800 && cp < 0xE000))) &&
           !(n == 4 && (cp < 0x10000 || cp > 0x10FFFF));
      if (ok) {
        out.append(s, i, static_cast<size_t>(n));
        i += static_cast<size_t>(n);
      } else {
        out += "\\ufffd";
        ++i;
      }
    }
  }
  return out + "\"";
}

const char* Bool(bool b) { return b ? "true" : "false"; }

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
uint16_t Le16(const std::vector<uint8_t>& b, size_t at) {
  return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

// --- list and extract ---------------------------------------------------------------

int List(TKind kind, const std::string& package) {
  std::vector<uint8_t> bytes = ReadPackageFile(package);
  std::string out;
  if (kind == TKind::Image) {
    std::vector<TImageItemData> items;
    ParseImagePackage(bytes.data(), bytes.size(), items);
    out = "{\"kind\":\"image\",\"items\":[";
    for (size_t i = 0; i < items.size(); ++i) {
      const TImageItemData& it = items[i];
      const TPicture& p = it.Picture;
      const int32_t w = p.Empty() ? 0 : p.Width, h = p.Empty() ? 0 : p.Height;
      std::ostringstream o;
      o << (i ? "," : "") << "{\"index\":" << i << ",\"name\":" << JsonString(it.Name)
        << ",\"width\":" << w << ",\"height\":" << h << ",\"patternWidth\":" << it.PatternWidth
        << ",\"patternHeight\":" << it.PatternHeight << ",\"skipWidth\":" << it.SkipWidth
        << ",\"skipHeight\":" << it.SkipHeight << ",\"patterns\":"
        << PatternCount(it.PatternWidth, it.PatternHeight, it.SkipWidth, it.SkipHeight, w, h)
        << ",\"transparent\":" << Bool(it.Transparent)
        << ",\"transparentColor\":" << it.TransparentColor
        << ",\"systemMemory\":" << Bool(it.SystemMemory)
        << ",\"hasPicture\":" << Bool(it.HasPicture) << "}";
      out += o.str();
    }
  } else {
    std::vector<TWaveItemData> items;
    ParseWavePackage(bytes.data(), bytes.size(), items);
    out = "{\"kind\":\"wave\",\"items\":[";
    for (size_t i = 0; i < items.size(); ++i) {
      const TWaveItemData& it = items[i];
      const bool fmt = it.HasWave && it.Format.size() >= 16;
      std::ostringstream o;
      o << (i ? "," : "") << "{\"index\":" << i << ",\"name\":" << JsonString(it.Name)
        << ",\"looped\":" << Bool(it.Looped) << ",\"maxPlayingCount\":" << it.MaxPlayingCount
        << ",\"formatTag\":" << (fmt ? Le16(it.Format, 0) : 0)
        << ",\"channels\":" << (fmt ? Le16(it.Format, 2) : 0)
        << ",\"samplesPerSec\":" << (fmt ? Le32(it.Format, 4) : 0)
        << ",\"bitsPerSample\":" << (fmt ? Le16(it.Format, 14) : 0)
        << ",\"dataBytes\":" << (it.HasWave ? it.Data.size() : 0) << "}";
      out += o.str();
    }
  }
  out += "]}\n";
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}

// --- check ---------------------------------------------------------------------------

int Check(TKind kind, const std::string& package) {
  std::vector<uint8_t> bytes = ReadPackageFile(package);
  std::vector<TAssetItem> items;
  std::vector<std::string> problems;
  const char* what;
  if (kind == TKind::Image) {
    std::vector<TImageItemData> data;
    ParseImagePackage(bytes.data(), bytes.size(), data);
    for (const TImageItemData& it : data) {
      const TPicture& p = it.Picture;
      const int32_t w = p.Empty() ? 0 : p.Width, h = p.Empty() ? 0 : p.Height;
      TAssetItem a;
      a.Name = it.Name;
      a.Usable = it.HasPicture && !p.Empty();
      a.Patterns = a.Usable ? PatternCount(it.PatternWidth, it.PatternHeight, it.SkipWidth, it.SkipHeight, w, h) : 0;
      a.PatternWidth = it.PatternWidth > 0 ? it.PatternWidth : w;
      a.PatternHeight = it.PatternHeight > 0 ? it.PatternHeight : h;
      items.push_back(a);
    }
    // The game reads its textures by position from "Textures.gpk", its sprites by name.
    const bool textures = Lower(std::filesystem::path(package).filename().string()).rfind("textures", 0) == 0;
    problems = textures ? CheckTextures(items) : CheckSprites(items);
    what = textures ? "textures" : "sprites";
  } else {
    std::vector<TWaveItemData> data;
    ParseWavePackage(bytes.data(), bytes.size(), data);
    for (const TWaveItemData& it : data) {
      TAssetItem a;
      a.Name = it.Name;
      a.Usable = it.HasWave && it.Format.size() >= 16;
      items.push_back(a);
    }
    problems = CheckEffects(items);
    what = "sound effects";
  }
  for (const std::string& p : problems) std::printf("%s: %s\n", package.c_str(), p.c_str());
  if (problems.empty()) {
    std::printf("%s: holds all the %s the game uses\n", package.c_str(), what);
    return 0;
  }
  std::printf("%s: %zu problem%s\n", package.c_str(), problems.size(), problems.size() == 1 ? "" : "s");
  return 1;
}

std::string ItemFile(const std::string& dir, size_t index, const char* ext) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%03zu%s", index, ext);
  return (std::filesystem::path(dir) / buf).string();
}

int Extract(TKind kind, const std::string& package, const std::string& dir) {
  std::vector<uint8_t> bytes = ReadPackageFile(package);
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec || !std::filesystem::is_directory(dir)) throw EGameError("Cannot create directory " + dir);
  if (kind == TKind::Image) {
    std::vector<TImageItemData> items;
    ParseImagePackage(bytes.data(), bytes.size(), items);
    for (size_t i = 0; i < items.size(); ++i)
      if (items[i].HasPicture && !items[i].Picture.Empty())
        toolkit::WritePNG(ItemFile(dir, i, ".png"), items[i].Picture);
  } else {
    std::vector<TWaveItemData> items;
    ParseWavePackage(bytes.data(), bytes.size(), items);
    for (size_t i = 0; i < items.size(); ++i)
      if (items[i].HasWave) toolkit::WriteWAV(ItemFile(dir, i, ".wav"), items[i]);
  }
  return 0;
}

// --- build ------------------------------------------------------------------------------

struct TManifestItem {
  TImageItemData Image;
  TWaveItemData Wave;
  std::string PictureFile;
  bool AlphaKey = false;
  int Line = 0;
};

struct TManifest {
  TKind Kind = TKind::Unknown;
  std::string ColorTableFile;
  std::vector<TManifestItem> Items;
};

[[noreturn]] void ManifestError(const std::string& file, int line, const std::string& text) {
  throw EGameError(file + ":" + std::to_string(line) + ": " + text);
}

int32_t ParseInt(const std::string& file, int line, const std::string& v) {
  errno = 0;
  char* end = nullptr;
  long long n = std::strtoll(v.c_str(), &end, 10);
  if (v.empty() || *end != 0 || errno != 0 || n < INT32_MIN || n > INT32_MAX)
    ManifestError(file, line, "not a whole number: " + v);
  return static_cast<int32_t>(n);
}

bool ParseBool(const std::string& file, int line, const std::string& v) {
  std::string l = Lower(v);
  if (l == "true") return true;
  if (l == "false") return false;
  ManifestError(file, line, "expected true or false: " + v);
}

TColor ParseColor(const std::string& file, int line, const std::string& v) {
  TColor c = 0;
  if (IdentToColor(v, c)) return c;
  std::string hex;
  if (!v.empty() && v[0] == '$') hex = v.substr(1);
  else if (v.size() > 2 && v[0] == '0' && (v[1] == 'x' || v[1] == 'X')) hex = v.substr(2);
  if (!hex.empty()) {
    errno = 0;
    char* end = nullptr;
    unsigned long long n = std::strtoull(hex.c_str(), &end, 16);
    if (*end != 0 || errno != 0 || n > UINT32_MAX || hex[0] == '-' || hex[0] == '+')
      ManifestError(file, line, "not a colour: " + v);
    return static_cast<TColor>(n);
  }
  if (!v.empty() && (v[0] == '-' || (v[0] >= '0' && v[0] <= '9'))) {
    errno = 0;
    char* end = nullptr;
    long long n = std::strtoll(v.c_str(), &end, 10);
    if (*end == 0 && errno == 0 && n >= INT32_MIN && n <= UINT32_MAX) return static_cast<TColor>(n);
  }
  ManifestError(file, line, "not a colour: " + v);
}

std::string Trim(const std::string& s) {
  size_t a = s.find_first_not_of(" \t\r");
  if (a == std::string::npos) return "";
  size_t b = s.find_last_not_of(" \t\r");
  return s.substr(a, b - a + 1);
}

TManifest ReadManifest(const std::string& file) {
  std::vector<uint8_t> bytes = ReadPackageFile(file);
  std::istringstream in(std::string(bytes.begin(), bytes.end()));
  const std::filesystem::path base = std::filesystem::path(file).parent_path();
  auto resolve = [&](const std::string& p) {
    std::filesystem::path path(p);
    return path.is_absolute() ? p : (base / path).string();
  };
  TManifest m;
  std::string raw;
  int line = 0;
  while (std::getline(in, raw)) {
    ++line;
    std::string text = Trim(raw);
    if (text.empty() || text[0] == '#') continue;
    size_t sp = text.find_first_of(" \t");
    std::string key = Lower(text.substr(0, sp));
    std::string value = sp == std::string::npos ? "" : Trim(text.substr(sp));
    auto need = [&]() {
      if (value.empty()) ManifestError(file, line, key + " needs a value");
    };
    if (key == "kind") {
      m.Kind = ParseKind(Lower(value));
      if (m.Kind == TKind::Unknown) ManifestError(file, line, "kind is image or wave");
      continue;
    }
    if (key == "colortable") {
      need();
      m.ColorTableFile = resolve(value);
      continue;
    }
    if (key == "item") {
      m.Items.emplace_back();
      m.Items.back().Image.Name = value;
      m.Items.back().Wave.Name = value;
      m.Items.back().Line = line;
      continue;
    }
    if (m.Items.empty()) ManifestError(file, line, key + " before the first item");
    TManifestItem& it = m.Items.back();
    if (key == "picture") need(), it.PictureFile = resolve(value), it.Image.HasPicture = true;
    else if (key == "emptypicture") it.PictureFile.clear(), it.Image.HasPicture = true;
    else if (key == "patternwidth") need(), it.Image.PatternWidth = ParseInt(file, line, value);
    else if (key == "patternheight") need(), it.Image.PatternHeight = ParseInt(file, line, value);
    else if (key == "skipwidth") need(), it.Image.SkipWidth = ParseInt(file, line, value);
    else if (key == "skipheight") need(), it.Image.SkipHeight = ParseInt(file, line, value);
    else if (key == "transparent") it.Image.Transparent = ParseBool(file, line, value);
    else if (key == "systemmemory") it.Image.SystemMemory = ParseBool(file, line, value);
    else if (key == "transparentcolor") need(), it.Image.TransparentColor = ParseColor(file, line, value);
    else if (key == "alphakey") it.AlphaKey = true;
    else if (key == "wave") {
      need();
      TWaveItemData w = toolkit::ReadWAV(resolve(value));
      it.Wave.HasWave = true;
      it.Wave.Format = std::move(w.Format);
      it.Wave.Data = std::move(w.Data);
    } else if (key == "looped") it.Wave.Looped = ParseBool(file, line, value);
    else if (key == "maxplayingcount") need(), it.Wave.MaxPlayingCount = ParseInt(file, line, value);
    else ManifestError(file, line, "unknown statement " + key);
  }
  return m;
}

int Build(const std::string& manifestFile, const std::string& output) {
  TManifest m = ReadManifest(manifestFile);
  TKind kind = m.Kind != TKind::Unknown ? m.Kind : KindFromName(output);
  if (kind == TKind::Unknown)
    throw EGameError(manifestFile + ": no kind given and " + output + " is neither .gpk nor .spk");
  std::vector<uint8_t> bytes;
  if (kind == TKind::Image) {
    std::vector<TImageItemData> items;
    for (TManifestItem& it : m.Items) {
      if (it.Wave.HasWave || it.Wave.Looped || it.Wave.MaxPlayingCount)
        ManifestError(manifestFile, it.Line, "wave statements in an image package");
      if (!it.PictureFile.empty()) {
        it.Image.Picture = toolkit::ReadPicture(it.PictureFile, it.AlphaKey);
        if (it.AlphaKey) toolkit::ApplyAlphaKey(it.Image.Picture, toolkit::ColorToPixel(it.Image.TransparentColor));
      }
      items.push_back(std::move(it.Image));
    }
    std::vector<uint8_t> table;
    if (!m.ColorTableFile.empty()) {
      table = toolkit::ReadFileBytes(m.ColorTableFile);
      if (table.size() != 1024) throw EGameError(m.ColorTableFile + ": a colour table is 1024 bytes");
    }
    bytes = WriteImagePackage(items, m.ColorTableFile.empty() ? nullptr : &table);
  } else {
    std::vector<TWaveItemData> items;
    for (TManifestItem& it : m.Items) {
      const TImageItemData plain;
      const TImageItemData& im = it.Image;
      if (im.HasPicture || it.AlphaKey || im.PatternWidth || im.PatternHeight || im.SkipWidth ||
          im.SkipHeight || im.SystemMemory || im.Transparent != plain.Transparent ||
          im.TransparentColor != plain.TransparentColor)
        ManifestError(manifestFile, it.Line, "image statements in a wave package");
      items.push_back(std::move(it.Wave));
    }
    if (!m.ColorTableFile.empty()) throw EGameError(manifestFile + ": colortable in a wave package");
    bytes = WriteWavePackage(items);
  }
  toolkit::WriteFileBytes(output, bytes);
  return 0;
}

// Splits "--kind X" / "--kind=X" out of the arguments.
std::vector<std::string> TakeKind(std::vector<std::string> args, TKind& kind, bool& given) {
  std::vector<std::string> rest;
  for (size_t i = 0; i < args.size(); ++i) {
    std::string a = args[i];
    std::string value;
    if (a == "--kind") {
      if (i + 1 >= args.size()) throw TUsageError{};
      value = args[++i];
    } else if (a.rfind("--kind=", 0) == 0) {
      value = a.substr(7);
    } else if (a.size() > 1 && a[0] == '-') {
      throw TUsageError{};
    } else {
      rest.push_back(a);
      continue;
    }
    kind = ParseKind(value);
    if (kind == TKind::Unknown) throw TUsageError{};
    given = true;
  }
  return rest;
}

int Run(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (!args.empty() && (args[0] == "--help" || args[0] == "-h" || args[0] == "help")) {
    std::fputs(kUsage, stdout);
    std::fputs(kHelp, stdout);
    return 0;
  }
  if (args.empty()) throw TUsageError{};
  const std::string command = args[0];
  TKind kind = TKind::Unknown;
  bool kindGiven = false;
  std::vector<std::string> rest =
      TakeKind(std::vector<std::string>(args.begin() + 1, args.end()), kind, kindGiven);
  if (command == "list" || command == "extract") {
    if (rest.size() != (command == "list" ? 1u : 2u)) throw TUsageError{};
    if (!kindGiven) kind = KindFromName(rest[0]);
    if (kind == TKind::Unknown) throw TUsageError{};
    return command == "list" ? List(kind, rest[0]) : Extract(kind, rest[0], rest[1]);
  }
  if (command == "check") {
    if (rest.size() != 1) throw TUsageError{};
    if (!kindGiven) kind = KindFromName(rest[0]);
    if (kind == TKind::Unknown) throw TUsageError{};
    return Check(kind, rest[0]);
  }
  if (command == "build") {
    if (kindGiven || rest.size() != 2) throw TUsageError{};
    return Build(rest[0], rest[1]);
  }
  throw TUsageError{};
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const TUsageError&) {
    std::fputs(kUsage, stderr);
    return 2;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tangrel-pack: %s\n", e.what());
    return 1;
  }
}
