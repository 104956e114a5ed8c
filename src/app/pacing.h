// Frames no more often than the display refreshes. Where presenting waits for the display
// (vertical sync) this costs nothing; where it does not (a virtual X server, some drivers) it
// keeps an idle game from drawing hundreds of frames a second that nobody sees. The game's
// own timing follows the clock (lagCount), so its speed does not depend on the frame rate.
#pragma once
#include <cstdint>

class TFramePacer {
 public:
  // A refresh rate the display gives that is out of reason (0: not known) counts as this.
  static constexpr int kDefaultHz = 60;
  // The display's rate as the pacer uses it.
  static int UsableHz(int hz);

  // The device opened at `now`: the first frame is due at once.
  void Restart(uint32_t now);
  // Whole milliseconds from `now` until the next frame is due; 0 when it is due.
  int WaitMs(uint32_t now) const;
  // A frame ran at `now` on a display of `hz` refreshes a second: the next one is due a
  // refresh after this one was due, so the frames keep the display's rate on a millisecond
  // clock (at 60 Hz: 16, 17, 17, 16, ... ms apart). A frame more than a refresh late starts
  // the count afresh from `now` rather than hurrying to catch up.
  void FrameRan(uint32_t now, int hz);

 private:
  // The next frame is due at dueMs + dueFrac / hz milliseconds (0 <= dueFrac < hz).
  uint32_t dueMs = 0;
  int32_t dueFrac = 0;
  int32_t hz = kDefaultHz;
};
