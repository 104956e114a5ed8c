// Fuzzes the settings store reader: any bytes parse without harm, and what it keeps writes
// back to text that reads the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/settings_store.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  plat::SettingsStore store;
  if (!store.Parse(reinterpret_cast<const char*>(data), size)) return 0;
  std::string text = store.Serialize();
  plat::SettingsStore again;
  if (!again.Parse(text.data(), text.size())) std::abort();
  if (again.Serialize() != text) std::abort();
  uint32_t v;
  store.ReadDword("\\Software\\Brenmoor Studio\\Tangrel", "Full", v);
  return 0;
}
