// Program entry in the browser: the settings and progress from the page's storage, the
// browser platform and its sound; then the browser's animation frames run the game's loop,
// one turn each, until the main window closes and the page shows its end.
#include <emscripten.h>
#include <unistd.h>

#include <memory>

#include "app/loop.h"
#include "platform/web/platform_web.h"
#include "settings/reestr.h"

namespace {

std::unique_ptr<plat::IPlatform> gPlatform;
bool gRunning = false;

void Finish() {
  if (!gRunning) return;
  gRunning = false;
  emscripten_cancel_main_loop();
  FinishProgram(plat::web::ShutdownWebAudio);
  gPlatform.reset();
  plat::web::SetPageState("ended");
  plat::web::ShowEnd();
}

void Turn() {
  if (!gRunning) return;
  plat::web::PlatformTurn();
  if (!RunMessageLoopOnce()) Finish();
}

// The tab is hidden or goes: the game sees its deactivation now (no frames run while it is
// hidden), and what it writes when it closes is written now. While the game waits for a
// sound (it is inside a handler) the loop is not run again, but the writing still is.
void PageHidden() {
  if (!gRunning) return;
  if (!plat::web::Sleeping()) {
    // A sound that would be waited for here is not: this callback cannot pause.
    plat::web::AllowWaits(false);
    Turn();
    plat::web::AllowWaits(true);
  }
  if (!gRunning) return;
  try {
    SaveSettings();
  } catch (const std::exception&) {
  }
}

}  // namespace

int main() {
  plat::web::SetPageState("loading");
  gPlatform.reset(plat::web::CreateWebPlatform());
  const std::string work = gPlatform->ProgramDir();
  if (chdir(work.c_str()) != 0) {
    // The game's data did not arrive: nothing can run.
    gPlatform->ReportError("The game's data could not be loaded");
    return 1;
  }
  plat::web::RestoreStoredFiles(gPlatform->ConfigDir(), work);
  plat::web::OnPageHidden(PageHidden);
  gRunning = StartProgram(gPlatform.get(), plat::web::InstallWebAudio);
  if (!gRunning) {
    gRunning = true;
    Finish();
    return 1;
  }
  emscripten_set_main_loop(Turn, 0, 0);
  return 0;
}
