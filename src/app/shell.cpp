// Every unit back to its start-up state.
#include "app/shell.h"

#include "app/error_report.h"
#include "hud/msgbox.h"
#include "hud/panel.h"
#include "hud/tips.h"
#include "media/music.h"
#include "menu/menu.h"
#include "puzzle/pieces.h"
#include "settings/reestr.h"
#include "settings/window_size.h"

void ResetAllUnits() {
  ResetGameState();
  ResetErrorReports();
  ResetPuzzleState();
  ResetMenu();
  ResetPanel();
  ResetTips();
  ResetMessageBox();
  ResetMusic();
  ResetSettings();
  WindowSize = {};
}
