// The browser's keys as the game's virtual-key codes, as the desktop gives them: letters
// 'A'..'Z', digits '0'..'9', F1..F12 112..123, Enter 13, Escape 27, Space 32, the arrows
// 37..40, Shift 16, Ctrl 17, Alt 18 (a bare modifier is a key of its own), and so on. Pure.
#pragma once
#include <cstdint>
#include <string_view>

namespace plat::web {

// code: the key's place (KeyboardEvent.code, "KeyA", "Digit1", "Enter"); key: what it types
// in the player's layout (KeyboardEvent.key, "a", "é", "Enter"). Letters and digits go by
// what the layout types when that is a Latin letter or digit, else by the key's place, as
// on the desktop. 0 for keys the game has no code for.
uint16_t VirtualKeyFromDom(std::string_view code, std::string_view key);

// Whether the browser's own use of a key press stays: reloading, the developer tools and
// the browser's own shortcuts (Ctrl or Cmd with a key) that the game has no use for.
bool BrowserKeepsKey(uint16_t vk, bool ctrl, bool meta, bool alt);

}  // namespace plat::web
