#include "cleaning/run_completion.h"

#include "cleaning/ie_cleaner.h"
#include "cleaning/netscape_cleaner.h"
#include "cleaning/opera_cleaner.h"
#include "cleaning/path_availability.h"
#include "cleaning/windows_cleaner.h"
#include "foundation/registry_layer.h"

namespace trwk {
namespace {

constexpr const char* kSystemDrive = "C:\\";

std::string freeSpaceNow(CleaningContext& context) {
  return driveFreeKB(context.session.platform.files, kSystemDrive);
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
  {
    // The date and the chart's new row reach mainten.ini in one replacement.
    Settings::Batch batch(session.settings, session.maintenIni());
    session.settings.AddToini("Senast", "Value1", stamp, session.maintenIni());
    state.lastCleaned = stamp;
    state.statusText = "This computer was last cleaned: " + stamp;

    context.recordStatistics(state.freeBefore, freeSpaceNow(context));
  }

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

  // A browser takes part when its locations are known; Windows always does.
  if (context.ieAvailable ? context.ieAvailable() : internetExplorerAvailable(context.paths))
    cleanInternetExplorer(context);
  if (netscapeAvailable(context.paths)) cleanNetscape(context);
  if (operaAvailable(context.paths)) cleanOpera(context);
  cleanWindows(context);
  if (context.cleanUserDefined) context.cleanUserDefined(context);
  if (context.cleanPlugins) context.cleanPlugins(context);
  if (context.cleanRules) context.cleanRules(context);

  state.animation = {0, false};
  completeRun(context);
  state.cleanAllRunning = false;
  context.session.platform.ui.setBusy(false);
  // A window closed after cleaning has nothing left to repaint.
  if (!state.automaticClose) context.refresh();
}

}  // namespace trwk
