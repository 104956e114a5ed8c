// The current user's registry as the settings unit sees it: one key path, DWORD values.
// On Linux it is the settings store file (user.reg); on Windows the real registry.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/settings_store.h"

namespace plat {

class IRegistry {
 public:
  virtual ~IRegistry() = default;
  // Reads what is stored. False with ErrorText() when it cannot (the view is then empty).
  virtual bool Load() = 0;
  // Makes the changes since Load lasting. False with ErrorText() when some could not be.
  virtual bool Save() = 0;
  // Forgets everything read (a store we could not read is rewritten cleanly).
  virtual void Clear() = 0;
  virtual const std::string& ErrorText() const = 0;

  // Key paths are absolute from the user's root ("\Software\Brenmoor Studio\Tangrel");
  // key and value names compare without regard to case.
  virtual bool KeyExists(const std::string& key) const = 0;
  virtual void CreateKey(const std::string& key) = 0;
  virtual bool ValueExists(const std::string& key, const std::string& name) const = 0;
  // False when the value is missing or is not a DWORD.
  virtual bool ReadDword(const std::string& key, const std::string& name, uint32_t& value) const = 0;
  virtual void WriteDword(const std::string& key, const std::string& name, uint32_t value) = 0;
  // True when there was such a value.
  virtual bool DeleteValue(const std::string& key, const std::string& name) = 0;
};

// The settings store file at path, read on Load and written whole on Save.
class FileRegistry : public IRegistry {
 public:
  explicit FileRegistry(std::string path) : path_(std::move(path)) {}
  bool Load() override { return store_.Load(path_); }
  bool Save() override { return store_.Save(path_); }
  void Clear() override { store_.Clear(); }
  const std::string& ErrorText() const override { return store_.ErrorText(); }
  bool KeyExists(const std::string& key) const override { return store_.KeyExists(key); }
  void CreateKey(const std::string& key) override { store_.CreateKey(key); }
  bool ValueExists(const std::string& key, const std::string& name) const override {
    return store_.ValueExists(key, name);
  }
  bool ReadDword(const std::string& key, const std::string& name, uint32_t& value) const override {
    return store_.ReadDword(key, name, value);
  }
  void WriteDword(const std::string& key, const std::string& name, uint32_t value) override {
    store_.WriteDword(key, name, value);
  }
  bool DeleteValue(const std::string& key, const std::string& name) override {
    return store_.DeleteValue(key, name);
  }

 private:
  std::string path_;
  SettingsStore store_;
};

}  // namespace plat
