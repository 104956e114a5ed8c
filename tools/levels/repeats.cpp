#include "repeats.h"

#include <cstdlib>

namespace levels {

int DeclaredMirrorOf(const std::string& comment) {
  static const std::string kWords = "the mirror image of level ";
  size_t at = comment.find(kWords);
  if (at == std::string::npos) return -1;
  size_t i = at + kWords.size();
  int n = 0, digits = 0;
  for (; i < comment.size() && comment[i] >= '0' && comment[i] <= '9' && digits < 3; ++i, ++digits)
    n = n * 10 + (comment[i] - '0');
  return digits ? n : -1;
}

std::vector<Repeat> FindRepeats(const std::vector<FileLevel>& all) {
  std::vector<std::vector<Poly>> pieces;
  for (const FileLevel& fl : all) pieces.push_back(Absolute(fl.level));
  std::vector<Repeat> out;
  int excused = 0;
  for (size_t j = 0; j < all.size(); ++j) {
    if (all[j].level.number == 49) continue;
    for (size_t i = 0; i < j; ++i) {
      if (all[i].level.number == 49) continue;
      SetRepeat kind = CompareSets(pieces[i], pieces[j]);
      if (kind == SetRepeat::None) continue;
      Repeat r{all[j].level.number, all[i].level.number, kind, false};
      if (kind != SetRepeat::Turned && DeclaredMirrorOf(all[j].comment) == r.earlier && excused < kMirrorPairsAllowed) {
        r.excused = true;
        ++excused;
      }
      out.push_back(r);
    }
  }
  return out;
}

std::string Describe(const Repeat& r) {
  const std::string n = std::to_string(r.earlier);
  switch (r.kind) {
    case SetRepeat::Turned: return "the same pieces as level " + n;
    case SetRepeat::Mirrored: return "the mirror images of the pieces of level " + n;
    case SetRepeat::PartlyMirrored: return "the pieces of level " + n + ", some of them turned over";
    case SetRepeat::None: break;
  }
  return "another puzzle than level " + n;
}

}  // namespace levels
