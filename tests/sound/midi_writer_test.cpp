// The MIDI writer of the theme generator: chunk layout and the track-name meta event.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "midi_writer.h"

namespace {

uint32_t Be32At(const std::vector<uint8_t>& b, size_t at) {
  return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
}

// The bytes of the first instrument track (the one after the tempo track).
std::vector<uint8_t> FirstTrackBody(const midi::Song& song) {
  std::vector<uint8_t> b = song.Bytes();
  size_t at = 14;                  // MThd and its six bytes
  at += 8 + Be32At(b, at + 4);     // the tempo track
  EXPECT_EQ(std::string(b.begin() + at, b.begin() + at + 4), "MTrk");
  uint32_t len = Be32At(b, at + 4);
  EXPECT_EQ(at + 8 + len, b.size());  // the chunk length covers exactly the rest
  return std::vector<uint8_t>(b.begin() + at + 8, b.end());
}

TEST(MidiWriter, ChunksAndTrackNames) {
  midi::Song song;
  midi::Track t;
  t.notes = {{0, 480, 60, 100}};

  t.name = "lead";
  song.tracks = {t};
  std::vector<uint8_t> all = song.Bytes();
  ASSERT_GE(all.size(), 14u);
  EXPECT_EQ(std::string(all.begin(), all.begin() + 4), "MThd");
  EXPECT_EQ(all[11], 2);  // the tempo track and one instrument track
  std::vector<uint8_t> body = FirstTrackBody(song);
  ASSERT_GE(body.size(), 8u);
  EXPECT_EQ(std::vector<uint8_t>(body.begin(), body.begin() + 8),
            (std::vector<uint8_t>{0, 0xFF, 0x03, 4, 'l', 'e', 'a', 'd'}));
  EXPECT_EQ(std::vector<uint8_t>(body.end() - 3, body.end()), (std::vector<uint8_t>{0xFF, 0x2F, 0}));

  // A name longer than 127 bytes takes a two-byte length (200 = 0x81 0x48), not a wrapped one.
  t.name = std::string(200, 'x');
  song.tracks = {t};
  body = FirstTrackBody(song);
  ASSERT_GE(body.size(), 205u);
  EXPECT_EQ(std::vector<uint8_t>(body.begin(), body.begin() + 5),
            (std::vector<uint8_t>{0, 0xFF, 0x03, 0x81, 0x48}));
  EXPECT_EQ(std::string(body.begin() + 5, body.begin() + 205), t.name);
  EXPECT_EQ(body[205], 0);     // the next event's delta time
  EXPECT_EQ(body[206], 0xB0);  // and its controller change
}

}  // namespace
