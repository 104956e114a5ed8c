// The one place that knows every unit: puts them all back to how the program starts.
#pragma once

#include "game/state.h"

// Every unit's state back to how the program starts: the session state, the error reports,
// the puzzle core's, the menu's, the panel's, the tips', the message box's, the music's, the
// settings and the progress record. Called by the test kit and the performance report before
// each start.
void ResetAllUnits();
