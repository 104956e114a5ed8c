// Text at the edge of the system: the game keeps its strings in UTF-8 and hands Windows
// UTF-16 through the wide calls, so a folder named in any script opens whatever the system's
// ANSI code page is.
#include "platform/win32/platform_win32.h"

// Windows headers after ours: they define the virtual-key names as macros.
#include <windows.h>

#include <climits>
#include <string>

namespace plat {

std::wstring Utf8ToWide(const std::string& text) {
  if (text.empty() || text.size() > static_cast<size_t>(INT_MAX)) return std::wstring();
  const int n = static_cast<int>(text.size());
  // Without MB_ERR_INVALID_CHARS a broken sequence becomes U+FFFD rather than failing the
  // whole text; UTF-16 never needs more units than UTF-8 has bytes.
  const int units = MultiByteToWideChar(CP_UTF8, 0, text.data(), n, nullptr, 0);
  if (units <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(units), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), n, wide.data(), units);
  return wide;
}

std::string WideToUtf8(const wchar_t* text, size_t units) {
  if (!text || units == 0 || units > static_cast<size_t>(INT_MAX / 3)) return std::string();
  const int n = static_cast<int>(units);
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, n, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return std::string();
  std::string out(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, n, out.data(), bytes, nullptr, nullptr);
  return out;
}

std::string WideToUtf8(const std::wstring& text) { return WideToUtf8(text.data(), text.size()); }

}  // namespace plat
