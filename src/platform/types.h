// Basic value types shared by every unit: points, rectangles, input codes, errors.
#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>

struct TPoint {
  int32_t X = 0;
  int32_t Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
  int32_t Width() const { return Right - Left; }
  int32_t Height() const { return Bottom - Top; }
  friend bool operator==(const TRect&, const TRect&) = default;
};

inline TRect Bounds(int32_t x, int32_t y, int32_t w, int32_t h) { return {x, y, x + w, y + h}; }

enum class TMouseButton : uint8_t { mbLeft, mbRight, mbMiddle };

// Held modifier keys and buttons, as a small bit set.
using TShiftState = uint8_t;
constexpr TShiftState ssShift = 1;
constexpr TShiftState ssAlt = 2;
constexpr TShiftState ssCtrl = 4;
constexpr TShiftState ssLeft = 8;
constexpr TShiftState ssRight = 16;
constexpr TShiftState ssMiddle = 32;

// The virtual-key codes the game tests.
constexpr uint16_t VK_BACK = 8;
constexpr uint16_t VK_RETURN = 13;
constexpr uint16_t VK_ESCAPE = 27;
constexpr uint16_t VK_SPACE = 32;
constexpr uint16_t VK_F1 = 112;

// Whether a key code is a modifier pressed on its own: Shift (16), Ctrl (17), Alt (18), their
// left and right codes (160 to 165; AltGr comes as Ctrl with right Alt), the system keys (91,
// 92). Screens that wait for "any key" do not count them.
constexpr bool IsModifierKey(uint16_t key) {
  return (key >= 16 && key <= 18) || key == 91 || key == 92 || (key >= 160 && key <= 165);
}

// Colours are $00BBGGRR (red in the lowest byte); device pixels are 0x00RRGGBB.
using TColor = uint32_t;
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clFuchsia = 0xFF00FF;

// Every failure the game reports carries a message text.
class EGameError : public std::runtime_error {
 public:
  explicit EGameError(const std::string& msg) : std::runtime_error(msg) {}
};

// A value or index outside its declared range.
class ERangeError : public EGameError {
 public:
  ERangeError() : EGameError("Range check error") {}
};
