// A small Standard MIDI File writer: format 1, one track per part, General MIDI programs.
#pragma once
#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <tuple>
#include <vector>

namespace midi {

struct Note {
  uint32_t start;  // ticks
  uint32_t length;
  uint8_t key;
  uint8_t velocity;
};

struct Track {
  std::string name;
  uint8_t channel = 0;
  uint8_t program = 0;
  uint8_t volume = 100;
  uint8_t pan = 64;
  uint8_t reverb = 40;
  std::vector<Note> notes;
};

class Song {
 public:
  uint16_t ticksPerQuarter = 480;
  uint32_t microsPerQuarter = 500000;
  std::vector<Track> tracks;

  std::vector<uint8_t> Bytes() const {
    std::vector<uint8_t> out;
    Put(out, "MThd");
    Be32(out, 6);
    Be16(out, 1);
    Be16(out, uint16_t(tracks.size() + 1));
    Be16(out, ticksPerQuarter);
    // Track 0: tempo and time signature.
    std::vector<uint8_t> t0;
    Var(t0, 0);
    Put(t0, {0xFF, 0x51, 0x03, uint8_t(microsPerQuarter >> 16), uint8_t(microsPerQuarter >> 8),
             uint8_t(microsPerQuarter)});
    Var(t0, 0);
    Put(t0, {0xFF, 0x58, 0x04, 4, 2, 24, 8});
    Var(t0, 0);
    Put(t0, {0xFF, 0x2F, 0x00});
    Chunk(out, t0);
    for (const Track& tr : tracks) Chunk(out, TrackBytes(tr));
    return out;
  }

 private:
  static void Put(std::vector<uint8_t>& o, const char* s) {
    for (int i = 0; i < 4; ++i) o.push_back(uint8_t(s[i]));
  }
  // Event bytes go in one by one: GCC 12 misreads a range insert into a freshly grown vector
  // as a write past its end.
  static void Put(std::vector<uint8_t>& o, std::initializer_list<uint8_t> bytes) {
    for (uint8_t b : bytes) o.push_back(b);
  }
  static void Be32(std::vector<uint8_t>& o, uint32_t v) {
    for (int i = 3; i >= 0; --i) o.push_back(uint8_t(v >> (8 * i)));
  }
  static void Be16(std::vector<uint8_t>& o, uint16_t v) {
    o.push_back(uint8_t(v >> 8));
    o.push_back(uint8_t(v));
  }
  static void Var(std::vector<uint8_t>& o, uint32_t v) {
    uint8_t buf[5];
    int n = 0;
    buf[n++] = v & 0x7F;
    while (v >>= 7) buf[n++] = uint8_t(0x80 | (v & 0x7F));
    while (n) o.push_back(buf[--n]);
  }
  static void Chunk(std::vector<uint8_t>& o, const std::vector<uint8_t>& body) {
    Put(o, "MTrk");
    Be32(o, uint32_t(body.size()));
    o.insert(o.end(), body.begin(), body.end());
  }
  static std::vector<uint8_t> TrackBytes(const Track& tr) {
    std::vector<uint8_t> o;
    Var(o, 0);
    // The name's length is a variable-length number like every meta event's, so a long name
    // cannot wrap its length byte.
    Put(o, {0xFF, 0x03});
    Var(o, uint32_t(tr.name.size()));
    for (char c : tr.name) o.push_back(uint8_t(c));
    uint8_t ch = tr.channel & 0x0F;
    for (auto [cc, v] : {std::pair<int, int>{7, tr.volume}, {10, tr.pan}, {91, tr.reverb}}) {
      Var(o, 0);
      Put(o, {uint8_t(0xB0 | ch), uint8_t(cc), uint8_t(v)});
    }
    Var(o, 0);
    Put(o, {uint8_t(0xC0 | ch), tr.program});
    // Note-on and note-off events in time order; offs before ons at the same tick.
    std::vector<std::tuple<uint32_t, int, uint8_t, uint8_t>> ev;
    for (const Note& n : tr.notes) {
      ev.emplace_back(n.start, 1, n.key, n.velocity);
      ev.emplace_back(n.start + n.length, 0, n.key, 0);
    }
    std::sort(ev.begin(), ev.end());
    uint32_t now = 0;
    for (auto& [t, on, key, vel] : ev) {
      Var(o, t - now);
      now = t;
      Put(o, {uint8_t((on ? 0x90 : 0x80) | ch), key, on ? vel : uint8_t(64)});
    }
    Var(o, 480);
    Put(o, {0xFF, 0x2F, 0x00});
    return o;
  }
};

}  // namespace midi
