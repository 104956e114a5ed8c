// The handlers' error report: shown once, repeats counted, at most a log line a second.
#include "app/error_report.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace {

constexpr uint32_t kRepeatWindowMs = 1000;  // closer than this, the same text is a repeat
constexpr size_t kMaxTexts = 16;            // different texts remembered at once

struct TErrorRun {
  std::string Text;
  uint32_t LastSeen = 0;  // clock of the latest report (of the box's closing for the first)
  uint32_t LastLine = 0;  // clock of the latest log line
  uint64_t Untold = 0;    // repeats since that line
  bool BoxOpen = false;
};

std::vector<TErrorRun> ErrorRuns;

void TellRepeats(TErrorRun& r, uint32_t now) {
  if (r.Untold == 0) return;
  plat::Platform().LogError(r.Text + " (repeated " + std::to_string(r.Untold) + " times)");
  r.Untold = 0;
  r.LastLine = now;
}

}  // namespace

void ReportHandlerError(const std::string& text) {
  plat::IPlatform& p = plat::Platform();
  const uint32_t now = p.Ticks();
  // Counts of other texts that are due go out now, so a run that stopped is told in time.
  for (TErrorRun& r : ErrorRuns)
    if (r.Text != text && now - r.LastLine >= kRepeatWindowMs) TellRepeats(r, now);

  size_t i = 0;
  while (i < ErrorRuns.size() && ErrorRuns[i].Text != text) ++i;
  if (i < ErrorRuns.size()) {
    TErrorRun& r = ErrorRuns[i];
    if (r.BoxOpen || now - r.LastSeen < kRepeatWindowMs) {
      ++r.Untold;
      r.LastSeen = now;
      if (now - r.LastLine >= kRepeatWindowMs) TellRepeats(r, now);
      return;
    }
    // The text stopped for a while: a new run, shown again.
    TellRepeats(r, now);
  } else {
    if (ErrorRuns.size() >= kMaxTexts) {
      // Forget the text seen longest ago (whose box is closed), its count told first.
      size_t oldest = ErrorRuns.size();
      for (size_t k = 0; k < ErrorRuns.size(); ++k)
        if (!ErrorRuns[k].BoxOpen &&
            (oldest == ErrorRuns.size() || now - ErrorRuns[k].LastSeen > now - ErrorRuns[oldest].LastSeen))
          oldest = k;
      if (oldest < ErrorRuns.size()) {
        TellRepeats(ErrorRuns[oldest], now);
        ErrorRuns.erase(ErrorRuns.begin() + static_cast<std::ptrdiff_t>(oldest));
      }
    }
    ErrorRuns.push_back({text});
    i = ErrorRuns.size() - 1;
  }
  ErrorRuns[i].LastLine = now;
  ErrorRuns[i].Untold = 0;
  ErrorRuns[i].BoxOpen = true;
  p.ReportError(text);  // may hold the thread (and run messages) until the box closes
  // The box's handlers may have reported other texts meanwhile: find ours again.
  for (TErrorRun& r : ErrorRuns)
    if (r.Text == text) {
      r.BoxOpen = false;
      r.LastSeen = p.Ticks();
    }
}

void FlushErrorReports() {
  if (ErrorRuns.empty()) return;
  const uint32_t now = plat::Platform().Ticks();
  for (TErrorRun& r : ErrorRuns) TellRepeats(r, now);
}

void ResetErrorReports() { ErrorRuns.clear(); }
