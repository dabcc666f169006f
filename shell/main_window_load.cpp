// The main window's load: every setting is read in a fixed order, and one failed step is
// logged under "Load" (or "Initialize" for the settings read) without stopping the rest.
#include <algorithm>
#include <optional>

#include "cleaning/keep_lists.h"
#include "foundation/convert.h"
#include "foundation/registry_layer.h"
#include "foundation/trap.h"
#include "shell/main_window_model.h"
#include "shell/tips_model.h"

namespace trwk {

void MainWindowModel::load() {
  // The step counter follows the numbered order of the load, so a log line tells how far
  // it had got.
  Trap trap(session_.log, "Load");
  trap.step = 1;
  trap.run([&] { automatic.fill(); });
  trap.step = 2;
  trap.run([&] { readSettings(); });
  trap.step = 3;
  trap.run([&] { readUrls(); });

  trap.step = 4;
  trap.run([&] {
    for (FamilyPresence& browser : catalogue.browsers) browser.noticeVisible = false;
    page = kInternetExplorer;
    visible = true;
    views_->show();
  });
  trap.step = 5;
  trap.run([&] { state.statusText = kLastCleanedAt + state.lastCleaned; });

  // Each part of the set-up is trapped on its own: an unreadable flag stops only its own
  // part, and is logged here.
  trap.step = 6;
  trap.run([&] { fixPlugins(); });
  trap.run([&] { rules.load(); });
  trap.run([&] { fixMainten(); });
  trap.run([&] { fixUserDefLists(); });
  trap.run([&] { catalogue.fixCleanInfo(session_); });
  trap.run([&] { pathSettings.fixPath(netscape1B_); });
  trap.run([&] { catalogue.checkActiveTabs(); });
  trap.run([&] { catalogue.checkUserdef(); });
  trap.run([&] { catalogue.fixSliderSettings(); });  // the slider stands at the stored level
  trap.run([&] { listCookiesToSave(context_); });
  keepSelectedPageEnabled();

  trap.step = 7;
  trap.run([&] { checkCookieFolder(); });
  trap.step = 8;
  trap.run([&] { state.freeBefore = driveFreeKB(session_.platform.files, kSystemDrive); });
  trap.step = 9;
  trap.run([&] { statistics.load(session_); });
  loaded = true;
  refresh();

  trap.step = 10;
  trap.run([&] {
    if (showTips) openTips();
  });
}

void MainWindowModel::readSettings() {
  Settings& settings = session_.settings;
  const std::string ini = session_.maintenIni();
  Trap trap(session_.log, "Initialize");
  auto read = [&](const char* section, const std::string& key) { return settings.getini(section, key, ini); };

  trap.checkpoint();
  trap.run([&] { state.lastCleaned = read("Senast", "Value1"); });
  trap.checkpoint();
  trap.run([&] {
    detection.takeSystemFolders();
    std::optional<std::string> system = session_.platform.desktop.knownFolder(KnownFolder::System);
    systemFolder = system ? *system + "\\" : LocationsModel::kMissing;
  });
  // Detect = "0" asks for every path to be detected and stored before it is read back.
  trap.checkpoint();
  trap.run([&] {
    if (read("Path", "Detect") == "0") detection.findPath(pathSettings);
  });
  trap.checkpoint();
  trap.run([&] { readPaths(); });
  trap.checkpoint();
  trap.run([&] {
    for (std::size_t k = 0; k < 4; ++k) {
      const std::string number = std::to_string(k + 1);
      // A set with no stored name keeps the name its box was built with.
      std::string name = read("UserDef", "UDname" + number);
      if (!name.empty()) catalogue.userDefNames[k] = name;
      catalogue.userDefFlags[k] = read("UserDef", "UDvalue" + number);
    }
  });
  trap.checkpoint();
  // Unreadable: the slider keeps its position. Any position outside 1..4 means level 5.
  trap.run([&] {
    catalogue.sliderPosition = static_cast<int>(std::clamp(toInteger(read("Inst", "Safetylevel")), 0L, 6L));
  });
  trap.checkpoint();
  trap.run([&] { netscape1B_ = read("Path", "Netscape1B"); });
  trap.checkpoint();
  trap.run([&] {
    for (std::size_t i = 0; i < 4; ++i) catalogue.tabFlags[i] = read("Tab", CleanCatalogue::kTabKeys[i]);
    catalogue.readRulesTab(read("Tab", CleanCatalogue::kRulesTabKey));
  });
  trap.checkpoint();
  trap.run([&] { readAutomatic(trap); });
  trap.checkpoint();
  // Empty or unreadable text leaves the flag as it was (tips not shown).
  trap.run([&] { showTips = toBoolean(read("Inst", "Showtip")); });
}

// Each list keeps its first entry when its stored position is unreadable or does not fit.
void MainWindowModel::readAutomatic(Trap& trap) {
  Settings& settings = session_.settings;
  const std::string ini = session_.maintenIni();
  const std::pair<const char*, ChoiceList*> lists[] = {{"Day", &automatic.day},
                                                       {"Hour", &automatic.hour},
                                                       {"Minute", &automatic.minute},
                                                       {"Clean", &automatic.clean}};
  for (const auto& [key, list] : lists)
    trap.run([&] { list->choose(toInteger(settings.getini("Automatic", key, ini))); });
}

// "Close application after cleaning" and "Auto-Start on Windows Startup" from their stored
// states. Ticking the second box by its stored state registers the program again, with
// the program folder of this run.
void MainWindowModel::fixMainten() {
  Settings& settings = session_.settings;
  const std::string ini = session_.maintenIni();
  Trap trap(session_.log, "Load");
  trap.step = 6;
  trap.run([&] { state.automaticClose = toBoolean(settings.getini("Inst", "AutomaticClose", ini)); });
  // The Run value is rewritten, or deleted, at every start, so that it names this
  // program folder and agrees with the box even after the program was moved.
  trap.run([&] { catalogue.setAutoStart(session_, toBoolean(settings.getini("Inst", "Autostart", ini))); });
}

void MainWindowModel::readPaths() {
  Settings& settings = session_.settings;
  const std::string ini = session_.maintenIni();
  auto read = [&](const char* key) { return settings.getini("Path", key, ini); };
  paths.ie1 = read("IE1");
  paths.ie2 = read("IE2");
  paths.ie3 = read("IE3");
  paths.ie4 = read("IE4");
  paths.netscape1A = read("Netscape1A");
  paths.netscape1C = read("Netscape1C");
  paths.netscape2 = read("Netscape2");
  paths.opera1 = read("Opera1");
  paths.opera2 = read("Opera2");
  paths.win1 = read("Win1");
  paths.win2 = read("Win2");
  paths.win3 = read("Win3");
  // Each folder's found flag says whether it exists now.
  auto found = [&](const std::string& folder) { return settings.folderExists(folder); };
  locations.ieHistoryFound = found(paths.ie1);
  locations.ieCacheFound = found(paths.ie2);
  locations.ieCookiesFound = found(paths.ie3);
  locations.ieCacheIndex = paths.ie4.empty() ? LocationsModel::kMissing : paths.ie4;
  locations.ieCacheIndexFound = found(paths.ie4);
  locations.netscapeCacheFound = found(paths.netscape2);
  locations.operaCacheFound = found(paths.opera2);
  locations.winTempFound = found(paths.win2);
  locations.winDownloadedFound = found(paths.win3);
}

void MainWindowModel::checkCookieFolder() {
  if (!session_.settings.folderExists(paths.ie3))
    session_.log.writeRunLog("sIECookies in Load " + paths.ie3, 0, 0, "");
}

void MainWindowModel::readUrls() {
  Settings& settings = session_.settings;
  const std::string file = session_.inFolder("url.ini");
  urls.home = settings.getini("Internet", "Home", file);
  urls.home2 = settings.getini("Internet", "Home2", file);
  urls.mail = settings.getini("Internet", "Mail", file);
  urls.info = settings.getini("Internet", "Info", file);
}

}  // namespace trwk
