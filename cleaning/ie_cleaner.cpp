#include "cleaning/ie_cleaner.h"

#include "cleaning/inet_properties.h"
#include "cleaning/keep_lists.h"
#include "cleaning/run_completion.h"
#include "cleaning/secure_removal.h"
#include "foundation/registry_layer.h"
#include "foundation/trap.h"

namespace trwk {

namespace {

constexpr const char* kTypedUrls = "Software\\Microsoft\\Internet Explorer\\TypedURLs";
// zap is started once at the next start of Windows from both run-once lists; where a
// list does not exist (RunServicesOnce on newer systems) nothing is written there.
constexpr const char* kRunOnceKeys[] = {
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\RunServicesOnce",
};

}  // namespace

void cleanInternetExplorer(CleaningContext& context) {
  Session& session = context.session;
  RunState& state = context.state;
  CleanCatalogue& items = context.catalogue;
  Trap trap(session.log, "cmdCleanIE");

  state.runningFamily = "Internet Explorer";
  state.statusText = "Please Wait";
  context.refresh();
  trap.checkpoint();
  if (!state.cleanAllRunning)
    trap.run([&] { beginFamilyRun(context, static_cast<int>(Family::InternetExplorer)); });

  trap.checkpoint();
  const bool cache = items.item(1).ticked, history = items.item(2).ticked;
  if (cache || history) {
    int mode = cache && history ? kInetBoth : cache ? kInetTemporaryFiles : kInetHistory;
    trap.run([&] { showInetProperties(context, mode); });
  }

  trap.checkpoint();
  if (items.item(3).ticked) {
    trap.run([&] { removeCookies(context); });
    state.progress.advance();
  }

  trap.checkpoint();
  if (items.item(4).ticked) {
    trap.run([&] { SecureRemoval(session).deleteRegistryKey(RootKey::CurrentUser, kTypedUrls); });
    state.progress.advance();
  }

  trap.checkpoint();
  if (items.item(5).ticked) {
    trap.run([&] {
      RegistryLayer registry(session.platform.registry, session.platform.ui);
      for (const char* key : kRunOnceKeys)
        registry.setStringValue(key, "String Value", session.inFolder("zap.exe"));
    });
    state.progress.advance();
  }
  context.refresh();

  trap.checkpoint();
  if (!state.cleanAllRunning) trap.run([&] { completeRun(context); });
}

}  // namespace trwk
