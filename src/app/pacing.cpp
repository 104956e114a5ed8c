// Frames no more often than the display refreshes.
#include "app/pacing.h"

int TFramePacer::UsableHz(int rate) {
  // Below 24 Hz is no display a game runs on; above 1000 the millisecond clock cannot tell.
  if (rate < 24) return kDefaultHz;
  return rate > 1000 ? 1000 : rate;
}

void TFramePacer::Restart(uint32_t now) {
  dueMs = now;
  dueFrac = 0;
}

int TFramePacer::WaitMs(uint32_t now) const {
  const auto early = static_cast<int32_t>(dueMs - now);  // the clock may wrap
  if (early < 0) return 0;
  // Due when now >= dueMs + dueFrac / hz.
  if (early == 0 && dueFrac == 0) return 0;
  return early + (dueFrac > 0 ? 1 : 0);
}

void TFramePacer::FrameRan(uint32_t now, int rate) {
  const int32_t newHz = UsableHz(rate);
  if (newHz != hz) {
    dueFrac = static_cast<int32_t>(int64_t(dueFrac) * newHz / hz);
    hz = newHz;
  }
  // How late this frame is, in 1/hz milliseconds; a frame run before it was due (a test, a
  // clock that went back) or more than a refresh late starts from now.
  const int64_t late = int64_t(static_cast<int32_t>(now - dueMs)) * hz - dueFrac;
  if (late < 0 || late >= 1000) Restart(now);
  const int32_t total = dueFrac + 1000;
  dueMs += static_cast<uint32_t>(total / hz);
  dueFrac = total % hz;
}
