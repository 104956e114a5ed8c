// Fuzz target for the INI reader and its number parsing: any bytes, no crash, no leak.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/ini.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  plat::TIniFile ini;
  ini.LoadFromText(text);
  // Keep the values alive without arithmetic of our own that could overflow.
  volatile uint32_t sink = 0;
  for (const char* section : {"level0", "LEVEL5", "a", ""})
    for (const char* key : {"NumFig", "MedTime", "Tip1", "Form_1_1_X", "x", ""})
      sink = sink ^ static_cast<uint32_t>(ini.ReadInteger(section, key, 7));
  (void)plat::ParseIniInteger(text.substr(0, 64));
  (void)sink;
  return 0;
}
