// Makes the game's sounds: the effects package "Sounds.spk" and the three MIDI themes
// "Sounds/theme1.mid" to "theme3.mid". Deterministic: the same bytes on every build.
//   gen-sounds OUTDIR
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "media/package.h"
#include "midi_writer.h"
#include "synth.h"

using namespace sfx;

namespace {

std::vector<uint8_t> PcmFormat() {
  // PCM, mono, 22050 Hz, 16 bits.
  const uint32_t rate = kRate, avg = kRate * 2;
  return {1, 0, 1, 0, uint8_t(rate), uint8_t(rate >> 8), uint8_t(rate >> 16), uint8_t(rate >> 24),
          uint8_t(avg), uint8_t(avg >> 8), uint8_t(avg >> 16), uint8_t(avg >> 24), 2, 0, 16, 0};
}

TWaveItemData Item(const std::string& name, const Buffer& b, int maxPlaying = 0, double peak = 0.7) {
  TWaveItemData w;
  w.Name = name;
  w.MaxPlayingCount = maxPlaying;
  w.HasWave = true;
  w.Format = PcmFormat();
  std::vector<int16_t> s = Finish(b, peak);
  for (int16_t v : s) {
    w.Data.push_back(uint8_t(uint16_t(v)));
    w.Data.push_back(uint8_t(uint16_t(v) >> 8));
  }
  return w;
}

Buffer Tick(double freq) {
  Buffer b = Silence(0.05);
  AddTone(b, 0, freq, 1.0, 0.001, 0.008, 0.05);
  AddTone(b, 0, freq * 2.01, 0.3, 0.001, 0.005, 0.05);
  return b;
}

Buffer Click(double freq) {
  Buffer b = Silence(0.09);
  Noise n;
  AddKnock(b, 0, freq * 3, 4, 0.6, 0.004, 0.03, n);
  AddTone(b, 0, freq, 0.9, 0.002, 0.025, 0.09);
  AddTone(b, 0, freq * 1.5, 0.4, 0.002, 0.02, 0.09);
  return b;
}

Buffer Take() {
  Buffer b = Silence(0.11);
  Noise n;
  AddKnock(b, 0, 900, 6, 1.0, 0.012, 0.1, n);
  AddTone(b, 0, 420, 0.5, 0.002, 0.02, 0.1, 0.15);
  return b;
}

Buffer Drop() {
  Buffer b = Silence(0.16);
  Noise n;
  AddKnock(b, 0, 520, 5, 1.0, 0.018, 0.15, n);
  AddTone(b, 0, 140, 0.9, 0.002, 0.04, 0.15, -0.1);
  AddKnock(b, 0.035, 800, 8, 0.25, 0.01, 0.05, n);
  return b;
}

Buffer Rotate() {
  Buffer b = Silence(0.1);
  Noise n;
  for (int k = 0; k < 3; ++k) AddKnock(b, 0.025 * k, 2400 - 300 * k, 10, 0.8, 0.004, 0.03, n);
  return b;
}

Buffer Chime() {
  Buffer b = Silence(0.9);
  const int notes[] = {84, 88, 91};  // C6 E6 G6
  for (int i = 0; i < 3; ++i) {
    double t = 0.08 * i;
    AddTone(b, t, NoteHz(notes[i]), 0.6, 0.003, 0.25, 0.9 - t);
    AddTone(b, t, NoteHz(notes[i]) * 2.76, 0.15, 0.002, 0.08, 0.9 - t);
  }
  return b;
}

// A short brass fanfare from (note, start beat, beats) triples at the given tempo.
Buffer Fanfare(const std::vector<std::tuple<int, double, double>>& line, double beat, int chordRoot, bool minorThird) {
  double len = 0;
  for (auto& [k, s, d] : line) len = std::max(len, (s + d) * beat);
  Buffer b = Silence(len + 0.25);
  for (auto& [k, s, d] : line) AddBrass(b, s * beat, NoteHz(k), 0.5, d * beat);
  // A soft held chord under the last note.
  double t = std::get<1>(line.back()) * beat;
  double held = std::get<2>(line.back()) * beat + 0.2;
  for (int iv : {0, minorThird ? 3 : 4, 7}) AddTone(b, t, NoteHz(chordRoot + iv), 0.18, 0.02, 0.5, held);
  return b;
}

Buffer Farewell() {
  Buffer b = Silence(1.15);
  const int notes[] = {79, 76, 72, 67};  // G5 E5 C5 G4
  for (int i = 0; i < 4; ++i) {
    double t = 0.17 * i;
    AddTone(b, t, NoteHz(notes[i]), 0.5, 0.004, 0.3, 1.15 - t);
    AddTone(b, t, NoteHz(notes[i]) * 2.0, 0.12, 0.004, 0.15, 1.15 - t);
  }
  return b;
}

std::vector<TWaveItemData> Effects() {
  std::vector<TWaveItemData> items;
  items.push_back(Item("menu1", Tick(1700), 0, 0.35));
  items.push_back(Item("menu2", Tick(1250), 0, 0.3));
  items.push_back(Item("beep1", Click(880), 0, 0.55));
  items.push_back(Item("beep2", Click(660), 0, 0.55));
  items.push_back(Item("take", Take(), 0, 0.6));
  items.push_back(Item("drop", Drop(), 0, 0.7));
  items.push_back(Item("rotate", Rotate(), 4, 0.45));
  items.push_back(Item("NewLevel", Chime(), 0, 0.6));
  const double q = 0.16;
  items.push_back(Item("end1", Fanfare({{67, 0, 1}, {72, 1, 1}, {76, 2, 1}, {79, 3, 3}}, q, 60, false)));
  items.push_back(Item("end2", Fanfare({{72, 0, 0.5}, {72, 0.5, 0.5}, {72, 1, 1}, {76, 2, 1}, {79, 3, 1}, {84, 4, 3}}, q, 60, false)));
  items.push_back(Item("end3", Fanfare({{65, 0, 1}, {69, 1, 1}, {72, 2, 1}, {77, 3, 1}, {76, 4, 0.5}, {77, 4.5, 2.5}}, q, 53, false)));
  items.push_back(Item("end4", Fanfare({{62, 0, 1}, {66, 1, 1}, {69, 2, 2}, {74, 4, 3}}, q * 1.1, 62, false)));
  items.push_back(Item("end5", Fanfare({{70, 0, 0.5}, {74, 0.5, 0.5}, {77, 1, 0.5}, {82, 1.5, 1.5}, {81, 3, 0.5}, {82, 3.5, 2.5}}, q, 58, false)));
  items.push_back(Item("end6", Fanfare({{69, 0, 1}, {72, 1, 1}, {76, 2, 1}, {81, 3, 1}, {79, 4, 1}, {81, 5, 3}}, q * 0.9, 57, true)));
  items.push_back(Item("exit", Farewell(), 0, 0.6));
  return items;
}

// --- music ------------------------------------------------------------------

struct ThemePlan {
  const char* name;
  int bpm;
  int root;                 // MIDI key of the tonic
  std::vector<int> scale;   // semitones from the root
  std::vector<int> chords;  // scale degrees (0-based), one per bar, cycled
  int bars;
  uint8_t leadProgram, padProgram, bassProgram;
  bool arpeggio;            // lead plays broken chords rather than a tune
  uint32_t seed;
};

int ScaleKey(const ThemePlan& p, int degree, int octave) {
  int n = int(p.scale.size());
  int oct = degree >= 0 ? degree / n : -((-degree + n - 1) / n);
  int d = degree - oct * n;
  return p.root + 12 * (octave + oct) + p.scale[size_t(d)];
}

midi::Song Compose(const ThemePlan& p) {
  midi::Song song;
  const uint32_t q = song.ticksPerQuarter, bar = 4 * q;
  song.microsPerQuarter = uint32_t(60000000 / p.bpm);
  std::mt19937 rng(p.seed);
  midi::Track lead{"lead", 0, p.leadProgram, 92, 70, 50, {}};
  midi::Track pad{"pad", 1, p.padProgram, 62, 50, 70, {}};
  midi::Track bass{"bass", 2, p.bassProgram, 84, 64, 30, {}};
  int prevDegree = 4;
  std::vector<std::vector<std::pair<int, int>>> motifs(2);  // (degree step, eighths) phrases to repeat
  for (int b = 0; b < p.bars; ++b) {
    int chord = p.chords[size_t(b) % p.chords.size()];
    bool last = b == p.bars - 1;
    uint32_t t0 = uint32_t(b) * bar;
    // Pad: the triad held through the bar.
    for (int k : {0, 2, 4}) pad.notes.push_back({t0, last ? bar * 2 : bar - 10, uint8_t(ScaleKey(p, chord + k, 0)), 48});
    // Bass: root on beat one, fifth on beat three.
    bass.notes.push_back({t0, last ? bar * 2 : 2 * q - 20, uint8_t(ScaleKey(p, chord, -2)), 78});
    if (!last) bass.notes.push_back({t0 + 2 * q, 2 * q - 20, uint8_t(ScaleKey(p, chord + 4, -2)), 66});
    if (last) {
      lead.notes.push_back({t0, bar * 2, uint8_t(ScaleKey(p, chord, 1)), 70});
      break;
    }
    if (p.arpeggio) {
      const int shape[8] = {0, 2, 4, 7, 4, 2, 4, 2};
      for (int e = 0; e < 8; ++e)
        lead.notes.push_back({t0 + uint32_t(e) * q / 2, q / 2 - 10, uint8_t(ScaleKey(p, chord + shape[e], 1)),
                              uint8_t(e % 2 ? 58 : 72)});
    }
    // A tune: chord tones on strong beats, steps between; phrases of four bars, the
    // second half of each eight bars echoing the first.
    bool echo = (b % 8) >= 4 && (b / 8) % 2 == 0;
    std::vector<std::pair<int, int>>& motif = motifs[size_t(b % 2)];
    if (!echo || motif.empty()) {
      motif.clear();
      int eighths = 0;
      int deg = prevDegree;
      while (eighths < 8) {
        int len = std::uniform_int_distribution<int>(0, 9)(rng) < 6 ? 2 : (eighths % 2 ? 1 : 3);
        if (eighths + len > 8) len = 8 - eighths;
        int target = chord + 2 * std::uniform_int_distribution<int>(0, 2)(rng) + 7;
        int step = eighths % 4 == 0 ? target - deg : std::uniform_int_distribution<int>(-1, 1)(rng);
        step = std::clamp(step, -3, 3);
        motif.push_back({step, len});
        deg += step;
        eighths += len;
      }
    }
    if (!p.arpeggio || b % 2 == 1) {
      uint32_t t = t0;
      int deg = prevDegree;
      for (auto [step, len] : motif) {
        deg = std::clamp(deg + step, 2, 13);
        lead.notes.push_back({t, uint32_t(len) * q / 2 - 12, uint8_t(ScaleKey(p, deg, 0)),
                              uint8_t(t == t0 ? 84 : 70)});
        t += uint32_t(len) * q / 2;
      }
      prevDegree = deg;
    }
  }
  song.tracks = {lead, pad, bass};
  return song;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return bool(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: gen-sounds OUTDIR\n");
    return 2;
  }
  std::string dir = argv[1];
  std::vector<uint8_t> pkg = WriteWavePackage(Effects());
  if (pkg.empty() || !WriteFile(dir + "/Sounds.spk", pkg)) {
    std::fprintf(stderr, "gen-sounds: cannot write %s/Sounds.spk\n", dir.c_str());
    return 1;
  }
  mkdir((dir + "/Sounds").c_str(), 0755);
  const std::vector<int> major = {0, 2, 4, 5, 7, 9, 11}, minor = {0, 2, 3, 5, 7, 8, 10}, dorian = {0, 2, 3, 5, 7, 9, 10};
  const ThemePlan themes[3] = {
      // A calm C major piano piece over strings.
      {"theme1", 84, 60, major, {0, 5, 3, 4, 0, 5, 1, 4}, 40, 0, 48, 32, false, 11},
      // A slow A minor nocturne: nylon guitar arpeggios, flute tune.
      {"theme2", 66, 57, minor, {0, 5, 2, 6, 0, 3, 4, 4}, 30, 24, 73, 33, true, 22},
      // A light D dorian piece for electric piano and vibraphone.
      {"theme3", 100, 62, dorian, {0, 3, 0, 3, 6, 5, 4, 3}, 48, 11, 4, 32, false, 33},
  };
  for (const ThemePlan& p : themes)
    if (!WriteFile(dir + "/Sounds/" + p.name + ".mid", Compose(p).Bytes())) {
      std::fprintf(stderr, "gen-sounds: cannot write %s\n", p.name);
      return 1;
    }
  return 0;
}
