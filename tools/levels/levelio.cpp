#include "levelio.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "platform/ini.h"
#include "puzzle/level_files.h"
#include "rules.h"

namespace levels {

namespace {

// The room above and below piece i's spot: the screen's top, and the tops of the panels (the
// counters box on the left from y 490, the level panel on the right from y 451).
void Room(int i, int n, double& up, double& down) {
  TScatterSpot s = ScatterSpot(i, n);
  up = double(s.Y);
  down = double(s.X < 400 ? 490 : 451) - double(s.Y);
}

double Reach(const Poly& p) {
  Pt c = BestPosition(p);
  double r = 0;
  for (const Pt& q : p) r = std::max(r, Dist(c, q));
  return r;
}

}  // namespace

double HiddenReach(const std::vector<Poly>& pieces) {
  double hidden = 0;
  const int n = int(pieces.size());
  for (int i = 1; i <= n; ++i) {
    double up, down, r = Reach(pieces[size_t(i - 1)]);
    Room(i, n, up, down);
    hidden += std::max(0.0, r - up) + std::max(0.0, r - down);
  }
  return hidden;
}

std::vector<Poly> ArrangeForScatter(std::vector<Poly> pieces) {
  const int n = int(pieces.size());
  std::vector<int> spots(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) spots[size_t(i)] = i + 1;
  auto room = [&](int i) {
    double up, down;
    Room(i, n, up, down);
    return std::min(up, down);
  };
  std::stable_sort(spots.begin(), spots.end(), [&](int a, int b) { return room(a) > room(b); });
  std::vector<size_t> order(static_cast<size_t>(n));
  for (size_t j = 0; j < order.size(); ++j) order[j] = j;
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return Reach(pieces[a]) > Reach(pieces[b]); });
  std::vector<Poly> out(static_cast<size_t>(n));
  for (size_t k = 0; k < order.size(); ++k) out[size_t(spots[k] - 1)] = pieces[order[k]];
  return out;
}

Level ToLevel(int number, int medTime, const std::vector<Poly>& pieces) {
  Level l;
  l.number = number;
  l.medTime = medTime;
  for (const Poly& p : pieces) {
    Piece pc;
    pc.pos = BestPosition(p);
    for (const Pt& q : p) pc.offsets.push_back({q.x - pc.pos.x, q.y - pc.pos.y});
    l.pieces.push_back(pc);
  }
  return l;
}

std::vector<Poly> Absolute(const Level& l) {
  std::vector<Poly> r;
  for (const Piece& pc : l.pieces) {
    Poly p;
    for (const Pt& o : pc.offsets) p.push_back({pc.pos.x + o.x, pc.pos.y + o.y});
    r.push_back(p);
  }
  return r;
}

bool WriteFiles(const std::string& dir, const std::vector<FileLevel>& all, std::string& err) {
  if (all.size() != size_t(kLevelCount)) return err = "need 100 levels", false;
  for (const TLevelFile& f : kLevelFiles) {
    std::ostringstream out;
    out << "; Tangrel 2.0 levels " << f.First << " to " << f.Last << ", made by tools/levels (levels-tool generate)\r\n";
    for (int n = f.First; n <= f.Last; ++n) {
      const Level& l = all[size_t(n)].level;
      out << "\r\n; " << all[size_t(n)].comment << "\r\n";
      out << "[level" << n << "]\r\n";
      out << "NumFig=" << l.pieces.size() << "\r\n";
      out << "MedTime=" << l.medTime << "\r\n";
      for (size_t j = 0; j < l.pieces.size(); ++j) {
        const Piece& pc = l.pieces[j];
        out << "Tip" << j + 1 << "=" << pc.offsets.size() << "\r\n";
        for (size_t i = 0; i < pc.offsets.size(); ++i) {
          out << "Form_" << j + 1 << "_" << i + 1 << "_X=" << pc.offsets[i].x << "\r\n";
          out << "Form_" << j + 1 << "_" << i + 1 << "_Y=" << pc.offsets[i].y << "\r\n";
        }
        out << "Form_" << j + 1 << "_X=" << pc.pos.x << "\r\n";
        out << "Form_" << j + 1 << "_Y=" << pc.pos.y << "\r\n";
      }
    }
    std::ofstream file(dir + "/" + f.Name, std::ios::binary);
    file << out.str();
    if (!file.flush()) return err = std::string("cannot write ") + f.Name, false;
  }
  return true;
}

bool ReadFiles(const std::string& dir, std::vector<FileLevel>& all, std::string& err) {
  all.assign(size_t(kLevelCount), FileLevel{});
  for (const TLevelFile& f : kLevelFiles) {
    plat::TIniFile ini;
    if (!ini.LoadFromFile(dir + "/" + f.Name)) return err = std::string("missing ") + f.Name, false;
    // The comment lines are ours: the one above each section names the level's family.
    std::ifstream raw(dir + "/" + f.Name, std::ios::binary);
    std::string line, last;
    std::vector<std::string> comments(static_cast<size_t>(kLevelCount));
    while (std::getline(raw, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.rfind("[level", 0) == 0) {
        int n = std::atoi(line.c_str() + 6);
        if (n >= 0 && n < kLevelCount && last.rfind("; ", 0) == 0) comments[size_t(n)] = last.substr(2);
      }
      if (!line.empty()) last = line;
    }
    for (int n = f.First; n <= f.Last; ++n) {
      const std::string sec = "level" + std::to_string(n);
      if (!ini.HasSection(sec)) return err = std::string(f.Name) + ": no section " + sec, false;
      FileLevel& fl = all[size_t(n)];
      fl.comment = comments[size_t(n)];
      Level& l = fl.level;
      l.number = n;
      l.medTime = ini.ReadInteger(sec, "MedTime", 1000);
      int32_t nf = ini.ReadInteger(sec, "NumFig", 2);
      if (nf < 0 || nf > 12) return err = sec + ": NumFig " + std::to_string(nf), false;
      for (int j = 1; j <= nf; ++j) {
        const std::string js = std::to_string(j);
        int32_t tip = ini.ReadInteger(sec, "Tip" + js, 3);
        if (tip < 3 || tip > 8) return err = sec + ": Tip" + js + " " + std::to_string(tip), false;
        Piece pc;
        for (int i = 1; i <= tip; ++i) {
          const std::string k = "Form_" + js + "_" + std::to_string(i);
          pc.offsets.push_back({ini.ReadInteger(sec, k + "_X", 0), ini.ReadInteger(sec, k + "_Y", 0)});
        }
        pc.pos = {ini.ReadInteger(sec, "Form_" + js + "_X", 400), ini.ReadInteger(sec, "Form_" + js + "_Y", 300)};
        l.pieces.push_back(pc);
      }
    }
  }
  return true;
}

}  // namespace levels
