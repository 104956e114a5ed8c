// The current user's registry on Windows: the options as REG_DWORD values under
// HKEY_CURRENT_USER. Reads and writes go straight to the registry; Save reports the first
// write that failed since Load.
#include "platform/win32/platform_win32.h"

// Windows headers after ours: they define the virtual-key names as macros.
#include <windows.h>

namespace plat {

std::string RegistrySubKey(const std::string& keyPath) {
  size_t b = 0, e = keyPath.size();
  while (b < e && keyPath[b] == '\\') ++b;
  while (e > b && keyPath[e - 1] == '\\') --e;
  return keyPath.substr(b, e - b);
}

namespace {

class Win32Registry : public IRegistry {
 public:
  bool Load() override {
    error.clear();
    return true;
  }
  bool Save() override { return error.empty(); }
  void Clear() override {}
  const std::string& ErrorText() const override { return error; }

  bool KeyExists(const std::string& key) const override {
    HKEY h = Open(key, KEY_READ);
    if (!h) return false;
    RegCloseKey(h);
    return true;
  }

  void CreateKey(const std::string& key) override {
    HKEY h = Create(key);
    if (h) RegCloseKey(h);
  }

  bool ValueExists(const std::string& key, const std::string& name) const override {
    HKEY h = Open(key, KEY_READ);
    if (!h) return false;
    LONG r = RegQueryValueExA(h, name.c_str(), nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(h);
    return r == ERROR_SUCCESS;
  }

  bool ReadDword(const std::string& key, const std::string& name, uint32_t& value) const override {
    HKEY h = Open(key, KEY_READ);
    if (!h) return false;
    DWORD type = 0, v = 0, size = sizeof v;
    LONG r = RegQueryValueExA(h, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&v), &size);
    RegCloseKey(h);
    if (r != ERROR_SUCCESS || type != REG_DWORD || size != sizeof v) return false;
    value = v;
    return true;
  }

  void WriteDword(const std::string& key, const std::string& name, uint32_t value) override {
    HKEY h = Create(key);
    if (!h) return;
    DWORD v = value;
    LONG r = RegSetValueExA(h, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v);
    RegCloseKey(h);
    if (r != ERROR_SUCCESS) Fail("cannot write " + name + " under HKEY_CURRENT_USER\\" + RegistrySubKey(key), r);
  }

  bool DeleteValue(const std::string& key, const std::string& name) override {
    HKEY h = Open(key, KEY_SET_VALUE | KEY_QUERY_VALUE);
    if (!h) return false;
    LONG r = RegDeleteValueA(h, name.c_str());
    RegCloseKey(h);
    return r == ERROR_SUCCESS;
  }

 private:
  static HKEY Open(const std::string& key, REGSAM access) {
    HKEY h = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, RegistrySubKey(key).c_str(), 0, access, &h) != ERROR_SUCCESS) return nullptr;
    return h;
  }
  HKEY Create(const std::string& key) {
    HKEY h = nullptr;
    LONG r = RegCreateKeyExA(HKEY_CURRENT_USER, RegistrySubKey(key).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                             KEY_READ | KEY_WRITE, nullptr, &h, nullptr);
    if (r != ERROR_SUCCESS) {
      Fail("cannot create HKEY_CURRENT_USER\\" + RegistrySubKey(key), r);
      return nullptr;
    }
    return h;
  }
  void Fail(const std::string& what, LONG code) {
    if (error.empty()) error = what + " (error " + std::to_string(code) + ")";
  }

  std::string error;
};

}  // namespace

std::unique_ptr<IRegistry> CreateWin32Registry() { return std::make_unique<Win32Registry>(); }

}  // namespace plat
