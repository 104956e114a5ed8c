// Browser keys as the desktop's virtual-key codes.
#include <gtest/gtest.h>

#include "platform/web/keys.h"

using plat::web::BrowserKeepsKey;
using plat::web::VirtualKeyFromDom;

TEST(WebKeys, LettersAndDigitsByWhatTheLayoutTypes) {
  EXPECT_EQ(VirtualKeyFromDom("KeyA", "a"), 'A');
  EXPECT_EQ(VirtualKeyFromDom("KeyA", "A"), 'A');  // with Shift
  EXPECT_EQ(VirtualKeyFromDom("KeyQ", "a"), 'A');  // AZERTY
  EXPECT_EQ(VirtualKeyFromDom("KeyZ", "y"), 'Y');  // QWERTZ
  EXPECT_EQ(VirtualKeyFromDom("Digit1", "1"), '1');
  EXPECT_EQ(VirtualKeyFromDom("Digit0", "0"), '0');
  // No Latin letter in the layout, or a shifted digit: where the key sits.
  EXPECT_EQ(VirtualKeyFromDom("KeyQ", "\xD0\xB9"), 'Q');
  EXPECT_EQ(VirtualKeyFromDom("Digit2", "\""), '2');
  EXPECT_EQ(VirtualKeyFromDom("Digit7", "&"), '7');
  // The numeric keypad's digits are keys of their own, whatever they type.
  EXPECT_EQ(VirtualKeyFromDom("Numpad4", "4"), 100);
  EXPECT_EQ(VirtualKeyFromDom("Numpad4", "ArrowLeft"), 100);
}

TEST(WebKeys, TheNamedKeysTheGameUses) {
  EXPECT_EQ(VirtualKeyFromDom("Enter", "Enter"), 13);
  EXPECT_EQ(VirtualKeyFromDom("NumpadEnter", "Enter"), 13);
  EXPECT_EQ(VirtualKeyFromDom("Escape", "Escape"), 27);
  EXPECT_EQ(VirtualKeyFromDom("Space", " "), 32);
  EXPECT_EQ(VirtualKeyFromDom("Backspace", "Backspace"), 8);
  EXPECT_EQ(VirtualKeyFromDom("ArrowLeft", "ArrowLeft"), 37);
  EXPECT_EQ(VirtualKeyFromDom("ArrowDown", "ArrowDown"), 40);
  EXPECT_EQ(VirtualKeyFromDom("F1", "F1"), 112);
  EXPECT_EQ(VirtualKeyFromDom("F12", "F12"), 123);
  EXPECT_EQ(VirtualKeyFromDom("F24", "F24"), 135);
  EXPECT_EQ(VirtualKeyFromDom("PageUp", "PageUp"), 33);
  EXPECT_EQ(VirtualKeyFromDom("Minus", "-"), 189);
  // A bare modifier is a key of its own, either side.
  EXPECT_EQ(VirtualKeyFromDom("ShiftLeft", "Shift"), 16);
  EXPECT_EQ(VirtualKeyFromDom("ControlRight", "Control"), 17);
  EXPECT_EQ(VirtualKeyFromDom("AltLeft", "Alt"), 18);
  EXPECT_EQ(VirtualKeyFromDom("AltRight", "AltGraph"), 18);
}

TEST(WebKeys, UnknownKeysHaveNoCode) {
  for (const char* code : {"", "F0", "F25", "F1x", "Key", "KeyAA", "Digit", "Lang1", "MediaPlayPause", "Fn"})
    EXPECT_EQ(VirtualKeyFromDom(code, "Unidentified"), 0) << code;
}

TEST(WebKeys, TheBrowsersOwnShortcutsStayTheBrowsers) {
  EXPECT_TRUE(BrowserKeepsKey(116, false, false, false));  // F5
  EXPECT_TRUE(BrowserKeepsKey(123, false, false, false));  // F12
  EXPECT_TRUE(BrowserKeepsKey('R', true, false, false));   // Ctrl+R
  EXPECT_TRUE(BrowserKeepsKey('Q', false, true, false));   // Cmd+Q
  EXPECT_FALSE(BrowserKeepsKey(112, false, false, false));  // F1 is the game's
  EXPECT_FALSE(BrowserKeepsKey(13, false, false, true));    // Alt+Enter
  EXPECT_FALSE(BrowserKeepsKey(17, true, false, false));    // Ctrl alone
  EXPECT_FALSE(BrowserKeepsKey(32, false, false, false));   // Space would scroll
  EXPECT_FALSE(BrowserKeepsKey(38, false, false, false));   // so would the arrows
}
