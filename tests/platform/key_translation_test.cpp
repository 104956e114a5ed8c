// SDL keys and modifiers become the virtual-key codes and shift sets the game tests.
#include <SDL.h>
#include <gtest/gtest.h>

#include "platform/sdl/platform_sdl.h"

namespace {

TEST(KeyTranslation, Table) {
  struct Row {
    SDL_Keycode key;
    SDL_Scancode scan;
    uint16_t vk;
  };
  const Row rows[] = {
      {SDLK_a, SDL_SCANCODE_A, 'A'},       {SDLK_z, SDL_SCANCODE_Z, 'Z'},
      {SDLK_0, SDL_SCANCODE_0, '0'},       {SDLK_9, SDL_SCANCODE_9, '9'},
      {SDLK_SPACE, SDL_SCANCODE_SPACE, VK_SPACE},
      {SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE, VK_BACK},
      {SDLK_RETURN, SDL_SCANCODE_RETURN, VK_RETURN},
      {SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, VK_RETURN},
      {SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, VK_ESCAPE},
      {SDLK_F1, SDL_SCANCODE_F1, VK_F1},   {SDLK_F12, SDL_SCANCODE_F12, 123},
      {SDLK_LEFT, SDL_SCANCODE_LEFT, 37},  {SDLK_UP, SDL_SCANCODE_UP, 38},
      {SDLK_RIGHT, SDL_SCANCODE_RIGHT, 39}, {SDLK_DOWN, SDL_SCANCODE_DOWN, 40},
      {SDLK_TAB, SDL_SCANCODE_TAB, 9},     {SDLK_DELETE, SDL_SCANCODE_DELETE, 46},
      {SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, 16}, {SDLK_RCTRL, SDL_SCANCODE_RCTRL, 17},
      {SDLK_LALT, SDL_SCANCODE_LALT, 18},  {SDLK_KP_0, SDL_SCANCODE_KP_0, 96},
      {SDLK_KP_9, SDL_SCANCODE_KP_9, 105}, {SDLK_MINUS, SDL_SCANCODE_MINUS, 189},
      // A Cyrillic layout's key in the place of Q still reads as Q.
      {0x439, SDL_SCANCODE_Q, 'Q'},
      // German keys with letters of their own: by their place; the ISO key beside Shift too.
      {0xF6, SDL_SCANCODE_SEMICOLON, 186},  // o umlaut
      {0xE4, SDL_SCANCODE_APOSTROPHE, 222},  // a umlaut
      {0xFC, SDL_SCANCODE_LEFTBRACKET, 219},  // u umlaut
      {SDLK_LESS, SDL_SCANCODE_NONUSBACKSLASH, 226},
      // A key with no code of its own is still a key, bound by nothing.
      {SDLK_MUTE, SDL_SCANCODE_MUTE, plat::kVkOtherKey},
      {0, SDL_SCANCODE_UNKNOWN, plat::kVkOtherKey},
  };
  for (uint16_t bound : {VK_SPACE, VK_BACK, VK_RETURN, VK_F1, uint16_t{16}, uint16_t{17}, uint16_t{18}})
    EXPECT_NE(plat::kVkOtherKey, bound);
  for (const Row& r : rows)
    EXPECT_EQ(plat::VirtualKeyFromSdl(r.key, r.scan), r.vk) << SDL_GetKeyName(r.key);
}

TEST(KeyTranslation, Modifiers) {
  EXPECT_EQ(plat::ShiftFromSdlMod(KMOD_NONE), 0);
  EXPECT_EQ(plat::ShiftFromSdlMod(KMOD_LSHIFT), ssShift);
  EXPECT_EQ(plat::ShiftFromSdlMod(KMOD_RALT | KMOD_NUM), ssAlt);
  EXPECT_EQ(plat::ShiftFromSdlMod(KMOD_LCTRL | KMOD_RSHIFT | KMOD_CAPS), ssCtrl | ssShift);
}

}  // namespace
