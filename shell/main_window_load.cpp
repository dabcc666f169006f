// The main window's load: every setting is read in a fixed order, and one failed step is
// logged under "Load" (or "Initialize" for the settings read) without stopping the rest.
#include "foundation/convert.h"
#include "foundation/trap.h"
#include "shell/main_window_model.h"
#include "shell/tips_model.h"

namespace trwk {

void MainWindowModel::load() {
  // The step counter follows the numbered order of the load, so a log line tells how far
  // it had got.
  Trap trap(session_.log, "Load");
  trap.step = 2;
  trap.run([&] { readSettings(); });
  trap.step = 3;
  trap.run([&] { readUrls(); });

  trap.step = 4;
  trap.run([&] {
    for (Notice& notice : notices) notice.visible = false;
    page = kInternetExplorer;
    visible = true;
    views_->show();
  });
  trap.step = 5;
  trap.run([&] { statusText = kLastCleanedAt + lastCleaned; });
  loaded = true;
  views_->refresh();

  trap.step = 10;
  trap.run([&] {
    if (showTips) openTips();
  });
}

void MainWindowModel::readSettings() {
  Settings& settings = session_.settings;
  const std::string ini = session_.maintenIni();
  Trap trap(session_.log, "Initialize");
  trap.checkpoint();
  trap.run([&] { lastCleaned = settings.getini("Senast", "Value1", ini); });
  trap.checkpoint();
  // Empty or unreadable text leaves the flag as it was (tips not shown).
  trap.run([&] { showTips = toBoolean(settings.getini("Inst", "Showtip", ini)); });
}

void MainWindowModel::readUrls() {
  Settings& settings = session_.settings;
  const std::string file = session_.inFolder("url.ini");
  urls.home = settings.getini("Internet", "Home", file);
  urls.home2 = settings.getini("Internet", "Home2", file);
  urls.mail = settings.getini("Internet", "Mail", file);
  urls.info = settings.getini("Internet", "Info", file);
}

void MainWindowModel::openTips() {
  TipsModel tips(session_, showTips);
  views_->showTips(tips);
}

}  // namespace trwk
