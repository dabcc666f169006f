#include "cleaning/run_completion.h"

#include "cleaning/ie_cleaner.h"
#include "foundation/registry_layer.h"

namespace trwk {
namespace {

constexpr const char* kSystemDrive = "C:\\";

std::string freeSpaceNow(CleaningContext& context) {
  return driveFreeKB(context.session.platform.files, kSystemDrive);
}

// A browser takes part in Clean All when every one of its locations is known.
bool internetExplorerAvailable(const PathValues& paths) {
  return paths.ie1 != "-" && paths.ie2 != "-" && paths.ie3 != "-";
}

}  // namespace

void beginFamilyRun(CleaningContext& context, int familyCode) {
  RunState& state = context.state;
  // Clean All has done this once for every family it runs.
  if (state.cleanAllRunning) return;
  state.animation = {2000, true};
  state.freeBefore = freeSpaceNow(context);
  context.session.platform.ui.setBusy(true);
  context.catalogue.fixCheckboxes(familyCode, state.progress);
  context.refresh();
}

void completeRun(CleaningContext& context) {
  RunState& state = context.state;
  Session& session = context.session;
  state.animation = {0, false};

  std::string stamp = generalDateTime(session.platform.clock.now());
  session.settings.AddToini("Senast", "Value1", stamp, session.maintenIni());
  state.lastCleaned = stamp;
  state.statusText = "This computer was last cleaned: " + stamp;

  context.recordStatistics(state.freeBefore, freeSpaceNow(context));

  state.runningFamily.clear();
  session.platform.ui.setBusy(false);
  context.refresh();

  if (state.automaticClose) {
    context.closeMainWindow();
  } else if (state.manualMode) {
    session.platform.ui.messageBox({"Cleaning System...Done", "Info", Buttons::Ok, Icon::Information, 1});
  }
}

void animationTick(RunState& state) {
  state.statusText = state.animationPhase ? "Cleaning... " + state.runningFamily : "Please Wait...";
  state.animationPhase = !state.animationPhase;
}

void cleanAll(CleaningContext& context) {
  RunState& state = context.state;
  state.statusText = "Please Wait";
  state.animation = {10, true};
  state.freeBefore = freeSpaceNow(context);
  context.session.platform.ui.setBusy(true);
  state.cleanAllRunning = true;
  context.catalogue.fixCheckboxes(kAllFamilies, state.progress);
  context.refresh();

  if (internetExplorerAvailable(context.paths)) cleanInternetExplorer(context);
  // Not yet available, and so skipped: the Netscape and Opera cleaners (each only when
  // its browser is available), then the Windows cleaner, the user-defined sets and the
  // plugins. Each joins here, in this order, when it is built.

  state.animation = {0, false};
  completeRun(context);
  state.cleanAllRunning = false;
  context.session.platform.ui.setBusy(false);
  // A window closed after cleaning has nothing left to repaint.
  if (!state.automaticClose) context.refresh();
}

}  // namespace trwk
