// Checks on GoogleTest that several test programs make: a package item read back against the
// one written, and the six options in memory against those a case expects. Each is a
// predicate for EXPECT_TRUE, so that a failure stands at the caller's line and names every
// property that differs, with both values.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "media/package.h"
#include "settings/reestr.h"

namespace testkit {

namespace detail {

template <typename T>
void Differs(std::string& out, const char* name, const T& got, const T& want) {
  if (got == want) return;
  out += std::string("\n  ") + name + ": " + ::testing::PrintToString(got) + ", expected " +
         ::testing::PrintToString(want);
}

inline ::testing::AssertionResult Verdict(const std::string& differences) {
  if (differences.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "differs in" << differences;
}

}  // namespace detail

// Every property of an image item, the picture's size and pixels too.
inline ::testing::AssertionResult SameImageItem(const TImageItemData& got, const TImageItemData& want) {
  std::string d;
  detail::Differs(d, "Name", got.Name, want.Name);
  detail::Differs(d, "PatternWidth", got.PatternWidth, want.PatternWidth);
  detail::Differs(d, "PatternHeight", got.PatternHeight, want.PatternHeight);
  detail::Differs(d, "SkipWidth", got.SkipWidth, want.SkipWidth);
  detail::Differs(d, "SkipHeight", got.SkipHeight, want.SkipHeight);
  detail::Differs(d, "SystemMemory", got.SystemMemory, want.SystemMemory);
  detail::Differs(d, "Transparent", got.Transparent, want.Transparent);
  detail::Differs(d, "TransparentColor", got.TransparentColor, want.TransparentColor);
  detail::Differs(d, "HasPicture", got.HasPicture, want.HasPicture);
  detail::Differs(d, "Picture.Width", got.Picture.Width, want.Picture.Width);
  detail::Differs(d, "Picture.Height", got.Picture.Height, want.Picture.Height);
  detail::Differs(d, "Picture.Pixels", got.Picture.Pixels, want.Picture.Pixels);
  return detail::Verdict(d);
}

// The six options as a case expects them: each switch on or off, and the difficulty.
struct Options {
  bool full, tips, sounds, music, use3D;
  int difficulty;  // 0 easy, 1 normal
};
inline constexpr Options kFirstRunOptions{
    .full = true, .tips = true, .sounds = true, .music = true, .use3D = false, .difficulty = 1};

// The options in memory against want; a switch is on when it is not zero.
inline ::testing::AssertionResult OptionsAre(const Options& want) {
  std::string d;
  detail::Differs(d, "Full", Settings.Full != 0, want.full);
  detail::Differs(d, "Tips", Settings.Tips != 0, want.tips);
  detail::Differs(d, "Sounds", Settings.Sounds != 0, want.sounds);
  detail::Differs(d, "Music", Settings.Music != 0, want.music);
  detail::Differs(d, "Use3D", Settings.Use3D != 0, want.use3D);
  detail::Differs(d, "Difficulty", static_cast<int>(Settings.Difficulty), want.difficulty);
  return detail::Verdict(d);
}

}  // namespace testkit
