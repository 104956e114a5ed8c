// Keys as the SDL window reports them, through the real translation into the main form: a
// modifier pressed on its own is no key for the screens that wait for "any key".
#include <SDL.h>

#include "../app/app_fixture.h"
#include "platform/sdl/platform_sdl.h"

namespace {

struct SdlKey {
  SDL_Keycode sym;
  SDL_Scancode scan;
  Uint16 mod;  // SDL counts the key's own modifier in its key-down
  const char* name;
};

// Every bare modifier a keyboard sends: Shift, Ctrl, Alt on either side, AltGr (reported as
// right Alt, or as the mode key on some layouts), the system keys.
const SdlKey kBareModifiers[] = {
    {SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, KMOD_LSHIFT, "left Shift"},
    {SDLK_RSHIFT, SDL_SCANCODE_RSHIFT, KMOD_RSHIFT, "right Shift"},
    {SDLK_LCTRL, SDL_SCANCODE_LCTRL, KMOD_LCTRL, "left Ctrl"},
    {SDLK_RCTRL, SDL_SCANCODE_RCTRL, KMOD_RCTRL, "right Ctrl"},
    {SDLK_LALT, SDL_SCANCODE_LALT, KMOD_LALT, "left Alt"},
    {SDLK_RALT, SDL_SCANCODE_RALT, KMOD_RALT, "right Alt"},
    {SDLK_RALT, SDL_SCANCODE_RALT, KMOD_RALT | KMOD_MODE, "AltGr"},
    {SDLK_MODE, SDL_SCANCODE_MODE, KMOD_MODE, "AltGr as mode key"},
    {SDLK_LGUI, SDL_SCANCODE_LGUI, KMOD_LGUI, "left system key"},
    {SDLK_RGUI, SDL_SCANCODE_RGUI, KMOD_RGUI, "right system key"},
    {SDLK_LALT, SDL_SCANCODE_LALT, KMOD_LALT | KMOD_LSHIFT, "Alt with Shift held"},
};

class ModifierKeys : public testkit::AppTest {
 protected:
  // What the SDL loop does with a key-down: translate and emit it (every key has a code).
  void KeyDown(SDL_Keycode sym, SDL_Scancode scan, Uint16 mod) {
    plat::Event e;
    e.Kind = plat::EventKind::KeyDown;
    e.Key = plat::VirtualKeyFromSdl(sym, scan);
    e.Shift = plat::ShiftFromSdlMod(mod);
    DispatchEvent(e);
  }
  // Alt+Enter as it arrives: Alt's own key-down, then Enter with Alt held.
  void AltEnter() {
    KeyDown(SDLK_LALT, SDL_SCANCODE_LALT, KMOD_LALT);
    KeyDown(SDLK_RETURN, SDL_SCANCODE_RETURN, KMOD_LALT);
  }
  // Alt+Enter to full screen and back, the screen staying as it is each time.
  void SwitchModeTwiceOn(uint8_t screen) {
    SCOPED_TRACE("screen state " + std::to_string(screen));
    AltEnter();
    EXPECT_EQ(ScreenState, screen);
    EXPECT_TRUE(MainForm->DrawDevice.FullScreen);
    AltEnter();
    EXPECT_EQ(ScreenState, screen);
    EXPECT_FALSE(MainForm->DrawDevice.FullScreen);
  }
};

TEST_F(ModifierKeys, BareModifiersAreNoKeyForTheLoadingScreen) {
  for (const SdlKey& k : kBareModifiers) {
    SCOPED_TRACE(k.name);
    ScreenState = scLoading;
    KeyDown(k.sym, k.scan, k.mod);
    EXPECT_EQ(ScreenState, scLoading);
  }
  KeyDown(SDLK_a, SDL_SCANCODE_A, KMOD_NONE);
  EXPECT_EQ(ScreenState, scMenu);
}

TEST_F(ModifierKeys, KeysWithoutACodeOfTheirOwnAreAnyKeyToo) {
  // A German layout's o umlaut, the ISO key beside Shift, a media key.
  const SdlKey others[] = {{0xF6, SDL_SCANCODE_SEMICOLON, KMOD_NONE, "o umlaut"},
                           {SDLK_LESS, SDL_SCANCODE_NONUSBACKSLASH, KMOD_NONE, "ISO key"},
                           {SDLK_MUTE, SDL_SCANCODE_MUTE, KMOD_NONE, "mute"}};
  for (const SdlKey& k : others) {
    SCOPED_TRACE(k.name);
    ScreenState = scLoading;
    KeyDown(k.sym, k.scan, k.mod);
    EXPECT_EQ(ScreenState, scMenu) << "any key leaves the loading screen";
    ScreenState = scPlaying;
    ShowMessageBox();
    KeyDown(k.sym, k.scan, k.mod);
    EXPECT_EQ(ScreenState, scPlaying) << "any key closes the message box";
  }
}

TEST_F(ModifierKeys, BareModifiersLeaveTheMessageBoxOpen) {
  ScreenState = scPlaying;
  ShowMessageBox();
  for (const SdlKey& k : kBareModifiers) {
    SCOPED_TRACE(k.name);
    KeyDown(k.sym, k.scan, k.mod);
    EXPECT_EQ(ScreenState, scMessageBox);
  }
  EXPECT_EQ(CountSound("beep2"), 0);
  // Shift+Space is a key like any other.
  KeyDown(SDLK_SPACE, SDL_SCANCODE_SPACE, KMOD_LSHIFT);
  EXPECT_EQ(ScreenState, scPlaying);
  EXPECT_EQ(CountSound("beep2"), 1);
}

TEST_F(ModifierKeys, BareModifiersLeaveTheLevelCompleteDisplay) {
  CurrentLevel = 7;
  LevelCompleted = true;
  ScreenState = scLevelComplete;
  MainForm->AnimClock = 1234;
  for (const SdlKey& k : kBareModifiers) {
    SCOPED_TRACE(k.name);
    KeyDown(k.sym, k.scan, k.mod);
    EXPECT_EQ(ScreenState, scLevelComplete);
  }
  EXPECT_EQ(MainForm->AnimClock, 1234u);
  EXPECT_EQ(CurrentLevel, 7);
  KeyDown(SDLK_x, SDL_SCANCODE_X, KMOD_NONE);
  EXPECT_EQ(ScreenState, scPlaying);
}

TEST_F(ModifierKeys, AltEnterSwitchesTheModeAndKeepsTheBoxOrTheDisplay) {
  OpenWithImages();
  ScreenState = scPlaying;
  ShowMessageBox();
  SwitchModeTwiceOn(scMessageBox);
  EXPECT_EQ(CountSound("beep2"), 0);

  LevelCompleted = true;
  ScreenState = scLevelComplete;
  SwitchModeTwiceOn(scLevelComplete);
}

}  // namespace
