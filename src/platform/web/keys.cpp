// Browser keys to virtual-key codes.
#include "platform/web/keys.h"

namespace plat::web {

namespace {

struct Named {
  std::string_view code;
  uint16_t vk;
};

constexpr Named kNamed[] = {
    {"Backspace", 8},     {"Tab", 9},           {"NumpadClear", 12},   {"Enter", 13},
    {"NumpadEnter", 13},  {"ShiftLeft", 16},    {"ShiftRight", 16},    {"ControlLeft", 17},
    {"ControlRight", 17}, {"AltLeft", 18},      {"AltRight", 18},      {"Pause", 19},
    {"CapsLock", 20},     {"Escape", 27},       {"Space", 32},         {"PageUp", 33},
    {"PageDown", 34},     {"End", 35},          {"Home", 36},          {"ArrowLeft", 37},
    {"ArrowUp", 38},      {"ArrowRight", 39},   {"ArrowDown", 40},     {"PrintScreen", 44},
    {"Insert", 45},       {"Delete", 46},       {"Help", 47},          {"MetaLeft", 91},
    {"MetaRight", 92},    {"OSLeft", 91},       {"OSRight", 92},       {"ContextMenu", 93},
    {"Numpad0", 96},      {"Numpad1", 97},      {"Numpad2", 98},       {"Numpad3", 99},
    {"Numpad4", 100},     {"Numpad5", 101},     {"Numpad6", 102},      {"Numpad7", 103},
    {"Numpad8", 104},     {"Numpad9", 105},     {"NumpadMultiply", 106}, {"NumpadAdd", 107},
    {"NumpadSubtract", 109}, {"NumpadDecimal", 110}, {"NumpadDivide", 111}, {"NumLock", 144},
    {"ScrollLock", 145},  {"Semicolon", 186},   {"Equal", 187},        {"Comma", 188},
    {"Minus", 189},       {"Period", 190},      {"Slash", 191},        {"Backquote", 192},
    {"BracketLeft", 219}, {"Backslash", 220},   {"BracketRight", 221}, {"Quote", 222},
};

// "F1".."F24" as 112..135; 0 otherwise.
uint16_t FunctionKey(std::string_view code) {
  if (code.size() < 2 || code.size() > 3 || code[0] != 'F') return 0;
  int n = 0;
  for (size_t i = 1; i < code.size(); ++i) {
    if (code[i] < '0' || code[i] > '9') return 0;
    n = n * 10 + (code[i] - '0');
  }
  return n >= 1 && n <= 24 ? static_cast<uint16_t>(111 + n) : 0;
}

}  // namespace

uint16_t VirtualKeyFromDom(std::string_view code, std::string_view key) {
  // What the layout types, for letters and digits on the main block.
  const bool mainBlock = code.starts_with("Key") || code.starts_with("Digit") || code.empty();
  if (mainBlock && key.size() == 1) {
    const char c = key[0];
    if (c >= 'a' && c <= 'z') return static_cast<uint16_t>(c - 'a' + 'A');
    if (c >= 'A' && c <= 'Z') return static_cast<uint16_t>(c);
    if (c >= '0' && c <= '9') return static_cast<uint16_t>(c);
  }
  // Else where the key sits.
  if (code.size() == 4 && code.starts_with("Key") && code[3] >= 'A' && code[3] <= 'Z')
    return static_cast<uint16_t>(code[3]);
  if (code.size() == 6 && code.starts_with("Digit") && code[5] >= '0' && code[5] <= '9')
    return static_cast<uint16_t>(code[5]);
  if (uint16_t f = FunctionKey(code)) return f;
  for (const Named& n : kNamed)
    if (n.code == code) return n.vk;
  return 0;
}

bool BrowserKeepsKey(uint16_t vk, bool ctrl, bool meta, bool alt) {
  if (vk == 116 || vk == 122 || vk == 123) return true;  // F5 reload, F11 full screen, F12 tools
  if (meta) return true;                                 // Cmd shortcuts on a Mac
  // Ctrl with a letter (copy, new tab, reload...), but not Ctrl alone or Ctrl+Alt.
  if (ctrl && !alt && vk >= 'A' && vk <= 'Z') return true;
  return false;
}

}  // namespace plat::web
