// The per-user settings store: a small text file standing in for the registry of the user.
//
//   [\Software\Brenmoor Studio\Tangrel]
//   "Full"=dword:00000001
//
// Sections are key paths, lines below them are typed values. Reading never trusts the file:
// it is capped in size, unknown or broken lines are dropped, and a file that is plainly not
// text (NUL bytes, too big) counts as empty. Writing goes to "<file>.tmp" beside it, is synced
// and then renamed over the old file, so a failed save never leaves a truncated store.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace plat {

// Bigger stores are not ours: they are treated as malformed and read as empty.
constexpr size_t kSettingsStoreMaxBytes = 1024 * 1024;
// Longer lines are dropped unread.
constexpr size_t kSettingsStoreMaxLine = 4096;

// Writes size bytes to path through "<path>.tmp", fsync and rename. Creates missing parent
// folders when makeDirs is set. On failure the old file is untouched, the temporary file is
// removed and error says why. (test_seam::BeforeAtomicRename can break it before the rename.)
bool WriteFileAtomically(const std::string& path, const void* data, size_t size, bool makeDirs,
                         std::string& error);

// Reads at most maxBytes of path. exists is false when there is no such file (not an error);
// overLimit is true when the file holds more than maxBytes. False with error on a read failure.
bool ReadFileLimited(const std::string& path, size_t maxBytes, std::vector<uint8_t>& out,
                     bool& exists, bool& overLimit, std::string& error);

// Renames path to base, or when that name is taken to base.1, base.2 ... (never over a file
// that is there); chosen is the name it now has. False with error when it cannot.
bool MoveAside(const std::string& path, const std::string& base, std::string& chosen, std::string& error);

class SettingsStore {
 public:
  // Reads the store from file. A missing file gives an empty store and true; an unreadable or
  // malformed one gives an empty store and false with ErrorText() set.
  bool Load(const std::string& path);
  // Parses the text of a store (used by Load; the fuzzer feeds it directly). False when the
  // bytes are malformed as a whole; the store is then empty.
  bool Parse(const char* data, size_t size);
  // The text Save writes.
  std::string Serialize() const;
  // Writes the store to the path it was loaded from (or path, when given). False with
  // ErrorText() on failure; the old file then stays as it was.
  bool Save(const std::string& path = {});

  void Clear() { keys.clear(); }
  const std::string& Path() const { return path; }
  const std::string& ErrorText() const { return error; }

  // Key paths like "\Software\Brenmoor Studio\Tangrel" and value names compare without
  // regard to ASCII case, as the registry does.
  bool KeyExists(const std::string& key) const;
  void CreateKey(const std::string& key);
  bool ValueExists(const std::string& key, const std::string& name) const;  // of any type
  // False when the value is missing or is not a DWORD.
  bool ReadDword(const std::string& key, const std::string& name, uint32_t& value) const;
  // Creates the key when missing; replaces a value of the same name whatever its type.
  void WriteDword(const std::string& key, const std::string& name, uint32_t value);
  // True when there was such a value.
  bool DeleteValue(const std::string& key, const std::string& name);

 private:
  struct Value {
    std::string name;
    bool isDword = false;
    uint32_t dword = 0;
    std::string raw;  // data text of a value of another type, written back unchanged
  };
  struct Key {
    std::string path;
    std::vector<Value> values;
  };
  Key* FindKey(const std::string& key);
  const Key* FindKey(const std::string& key) const;
  static const Value* FindValue(const Key& k, const std::string& name);

  std::vector<Key> keys;
  std::string path;
  std::string error;
};

}  // namespace plat
