// The sprite list: every picture the game looks up by name, in the order Sprites.gpk holds
// them, with the pattern size and count the generator draws and the largest pattern that
// still fits where the game draws it. The generator checks what it drew against this table,
// the content test checks the package against it, and a new sprite starts here.
#pragma once
#include <cstddef>

struct TSpriteListEntry {
  const char* Name;
  int Width, Height;        // of one pattern, as drawn
  int Patterns;             // 2: normal above highlighted; more: side by side
  int MaxWidth, MaxHeight;  // what fits on the screen where the game puts it
};

// The panel's bigpanel from (663, 451) and smalpanel from (723, 2) stay on the screen; the
// level row's digits stand 20 pixels apart.
inline constexpr TSpriteListEntry kSpriteList[] = {
    {"Loading", 360, 110, 1, 790, 590},
    {"CursorPnt", 22, 32, 1, 40, 40},
    {"RotateCW", 36, 36, 14, 36, 36},
    {"RotateCCW", 36, 36, 14, 36, 36},
    {"Complete_52x100", 198, 100, 1, 198, 100},
    {"Slot", 300, 300, 1, 300, 300},
    {"pan_numbers", 15, 20, 10, 15, 24},
    {"bigpanel", 134, 146, 1, 137, 149},
    {"smalpanel", 75, 38, 1, 77, 60},
    {"pan_level", 110, 28, 2, 122, 30},
    {"pan_prev", 110, 28, 2, 122, 30},
    {"pan_next", 110, 28, 2, 122, 30},
    {"pan_menu", 110, 28, 2, 122, 38},
    {"pan_minimize", 26, 26, 2, 30, 30},
    {"pan_close", 26, 26, 2, 34, 30},
    {"pan_time", 92, 28, 1, 196, 60},
    {"pan_fortext", 180, 104, 1, 196, 112},
    {"pan_nexttip", 80, 20, 2, 200, 40},
    {"btn_OK", 60, 30, 2, 60, 30},
    {"menufone", 800, 600, 1, 800, 600},
    {"menu_Episode1_41x62", 150, 32, 1, 200, 35},
    {"menu_Episode2_41x97", 150, 32, 1, 200, 36},
    {"menu_Episode3_41x133", 150, 32, 1, 200, 36},
    {"menu_Episode4_41x169", 150, 32, 1, 200, 35},
    {"menu_Episode5_41x204", 150, 32, 1, 200, 72},
    {"menu_Options_25x276", 166, 32, 1, 200, 34},
    {"menu_Help_25x310", 166, 32, 1, 200, 71},
    {"menu_Exit_25x381", 166, 32, 1, 200, 64},
    {"bsURLactive_16x445", 176, 30, 1, 200, 95},
    {"menu_Legend_226x426", 416, 58, 1, 430, 70},
    {"menu_slot_210x69", 440, 416, 1, 450, 430},
    {"_greenstar", 28, 28, 2, 30, 35},
    {"_goldstar", 28, 28, 2, 30, 35},
    {"_redstar", 28, 28, 2, 30, 35},
    {"_box", 30, 32, 2, 31, 38},
    {"_checkedbox", 30, 32, 2, 31, 38},
    {"_level", 64, 28, 2, 69, 32},
    {"0", 20, 28, 2, 20, 32},
    {"1", 20, 28, 2, 20, 32},
    {"2", 20, 28, 2, 20, 32},
    {"3", 20, 28, 2, 20, 32},
    {"4", 20, 28, 2, 20, 32},
    {"5", 20, 28, 2, 20, 32},
    {"6", 20, 28, 2, 20, 32},
    {"7", 20, 28, 2, 20, 32},
    {"8", 20, 28, 2, 20, 32},
    {"9", 20, 28, 2, 20, 32},
    {"menu_headerOptions_303x85", 254, 56, 1, 300, 65},
    {"menu_OptionsItems", 140, 256, 1, 170, 260},
    {"btn_Easy", 106, 32, 2, 106, 32},
    {"btn_Normal", 106, 32, 2, 106, 32},
    {"btn_Yes", 60, 30, 2, 60, 30},
    {"btn_No", 60, 30, 2, 60, 30},
    {"menu_Help_311x150", 392, 390, 1, 416, 400},
    {"menu_headerExit", 330, 230, 1, 385, 330},
    {"menu_trymoregames", 390, 390, 1, 415, 405},
};
inline constexpr size_t kSpriteCount = sizeof kSpriteList / sizeof kSpriteList[0];
