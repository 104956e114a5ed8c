// Program entry: answers --help and --version, makes sure there is a display to play on,
// installs the SDL platform, opens the main window, starts up and runs the loop.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "app/loop.h"
#include "platform/sdl/platform_sdl.h"

namespace {

void PrintUsage(std::FILE* to) {
  std::fprintf(to,
               "Usage: tangrel [--help | --version]\n"
               "Tangrel 2.0, a puzzle game: fill the square slot-box with flat pieces.\n"
               "\n"
               "  --help     show this text and end\n"
               "  --version  show the version and end\n"
               "\n"
               "The game reads its level files and pictures from the folder it is started in\n"
               "and keeps the progress there in Users.dat; the options are kept in\n"
               "$XDG_CONFIG_HOME/tangrel/user.reg. The installed launcher starts it in\n"
               "$XDG_DATA_HOME/tangrel.\n");
}

// The longest note the launcher may hand over for the player; anything longer is cut.
constexpr size_t kMaxNotice = 2000;

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      PrintUsage(stdout);
      return 0;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("tangrel %s\n", TANGREL_VERSION);
      return 0;
    }
    std::fprintf(stderr, "tangrel: unknown option '%s'\n", argv[i]);
    PrintUsage(stderr);
    return 2;
  }
  std::unique_ptr<plat::IPlatform> platform(plat::CreateSdlPlatform());
  // Without a display there is nothing to play on: say so and end, rather than run unseen.
  std::string reason;
  if (!plat::OpenSdlDisplay(reason)) {
    std::fprintf(stderr, "tangrel: cannot open a display: %s\n", reason.c_str());
    return 1;
  }
  // A note from the launcher (where the progress is kept this time, or that it cannot be):
  // shown once, on screen, before the game starts; not handed on to programs we start.
  if (const char* notice = std::getenv("TANGREL_NOTICE")) {
    std::string text(notice, strnlen(notice, kMaxNotice));
    unsetenv("TANGREL_NOTICE");
    if (!text.empty()) plat::ShowSdlNotice(text);
  }
  // One audio stream for the effects and the music synthesiser.
  return RunProgram(platform.get(), plat::InstallSdlAudio, plat::ShutdownSdlAudio);
}
