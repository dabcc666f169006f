#include "shell/main_window_model.h"

#include "cleaning/ie_cleaner.h"
#include "cleaning/ie_cookies_model.h"
#include "cleaning/netscape_cleaner.h"
#include "cleaning/netscape_cookies_model.h"
#include "cleaning/opera_cleaner.h"
#include "cleaning/run_completion.h"
#include "cleaning/windows_cleaner.h"
#include "foundation/trap.h"
#include "shell/plan_text.h"
#include "shell/preview_model.h"
#include "shell/tips_model.h"
#include "viewers/viewer_catalogue.h"

namespace trwk {
namespace {

// Requests of a model that has no window go nowhere.
class NoViews : public MainWindowViews {
 public:
  void show() override {}
  void refresh() override {}
  void showTips(TipsModel&) override {}
  void showIeCookies(IeCookiesModel&) override {}
  void showNetscapeCookies(NetscapeCookiesModel&) override {}
  void closeOtherWindows() override {}
  void close() override {}
};

NoViews noViews;

// The tab of each family that an "Activate ... Tab" box switches, by box.
constexpr int kActivatedPages[4] = {MainWindowModel::kInternetExplorer, MainWindowModel::kNetscape,
                                    MainWindowModel::kOpera, MainWindowModel::kWindows};

}  // namespace

MainWindowModel::MainWindowModel(Session& session)
    : pages{"Internet Explorer", "Netscape", "Opera",       "Windows",    "User.def",
            "Plugins",           "Paths",    "Maintenance", "Statistics", "Rules"},
      detection(session, locations, paths),
      pathSettings(session, locations, paths, catalogue, detection),
      userDefSets(session, catalogue),
      plugins(session),
      rules(session),
      scheduler(session, automatic, state),
      session_(session),
      views_(&noViews),
      context_{session, catalogue, state, paths, ieKeepList} {
  context_.refresh = [this] {
    refresh();
    session_.platform.ui.doEvents();
  };
  context_.closeMainWindow = [this] { unload(); };
  context_.recordStatistics = [this](const std::string& before, const std::string& after) {
    statistics.updateGraph(session_, before, after);
  };
  context_.ieAvailable = [this] { return locations.ieAvailable; };
  context_.cleanUserDefined = [this](CleaningContext& context) { cleanUserDefined(context, userDefSets); };
  context_.cleanPlugins = [this](CleaningContext& context) { trwk::cleanPlugins(context, plugins); };
  context_.cleanRules = [this](CleaningContext& context) { trwk::cleanRules(context, rules); };
  // A set switched on or off, or renamed, changes the set chooser.
  catalogue.onUserDefChanged = [this] { userDefSets.fixUserDef(); };

  // The schedule's tick runs the chosen family as its button would.
  scheduler.cleanings = {[this] { runCleaning(cleanAll); },
                         [this] { runCleaning(cleanInternetExplorer); },
                         [this] { runCleaning(trwk::cleanNetscape); },
                         [this] { runCleaning(trwk::cleanOpera); },
                         [this] { runCleaning(context_.cleanUserDefined); },
                         [this] { runCleaning(context_.cleanPlugins); }};
  scheduler.cleaningUnderway = [this] { return cleaning_; };
  scheduler.refresh = [this] { refresh(); };
  scheduler.enterTray = [this] {
    views_->enterTray();
    visible = false;
  };
  scheduler.leaveTray = [this] { views_->leaveTray(); };
}

void MainWindowModel::fixPlugins() {
  plugins.fixPlugins();
}

void MainWindowModel::fixUserDefLists() {
  userDefSets.fixUserDef();
}

void MainWindowModel::refresh() {
  views_->refresh();
}

bool MainWindowModel::pageEnabled(int index) const {
  for (std::size_t i = 0; i < 4; ++i)
    if (kActivatedPages[i] == index) return catalogue.tabEnabled[i];
  if (index == kRules) return catalogue.rulesTab;
  return index >= 0 && index < static_cast<int>(pages.size());
}

void MainWindowModel::keepSelectedPageEnabled() {
  if (pageEnabled(page)) return;
  for (int p = 0; p < static_cast<int>(pages.size()); ++p)
    if (pageEnabled(p)) {
      page = p;
      return;
    }
}

void MainWindowModel::unload() {
  if (unloaded) return;  // a second close while closing changes nothing
  unloaded = true;
  // An armed schedule ends with the program; stopping it first puts the stored "Close
  // application after cleaning" back, so that it is what gets written.
  scheduler.stop();
  writeSettings();
  state.animation = {0, false};
  views_->closeOtherWindows();
  visible = false;
  views_->close();
}

void MainWindowModel::endSession(bool ending) {
  if (ending) unload();
}

void MainWindowModel::writeSettings() {
  const std::string ini = session_.maintenIni();
  Settings& settings = session_.settings;
  Settings::Batch batch(settings, ini);  // one replacement of mainten.ini for all of them
  catalogue.saveStates(session_);
  settings.AddToini("Inst", "Safetylevel", catalogue.safetyLevel, ini);
  settings.AddToini("Inst", "AutomaticClose", state.automaticClose ? "1" : "0", ini);
  settings.AddToini("Inst", "Autostart", catalogue.autoStart ? "1" : "0", ini);
  settings.AddToini("Automatic", "Day", std::to_string(automatic.day.selected), ini);
  settings.AddToini("Automatic", "Hour", std::to_string(automatic.hour.selected), ini);
  settings.AddToini("Automatic", "Minute", std::to_string(automatic.minute.selected), ini);
  settings.AddToini("Automatic", "Clean", std::to_string(automatic.clean.selected), ini);
  statistics.save(session_);
}

void MainWindowModel::selectPage(int index) {
  if (!pageEnabled(index)) return;
  page = index;
  refresh();
}

void MainWindowModel::showPicture(const std::string& path) {
  picturePath = path;
  refresh();
}

void MainWindowModel::setProgress(int value, int max) {
  state.progress.max = max > 0 ? max : 1;
  state.progress.value = value < 0 ? 0 : value > state.progress.max ? state.progress.max : value;
  refresh();
}

void MainWindowModel::setStatus(const std::string& text) {
  state.statusText = text;
  refresh();
}

void MainWindowModel::setItemTicked(int number, bool ticked) {
  if (number < 1 || number > 25) return;
  catalogue.item(number).ticked = ticked;
}

void MainWindowModel::runCleaning(const std::function<void(CleaningContext&)>& cleaner) {
  // The window keeps answering while a run works, so a second press must wait its turn.
  if (cleaning_ || unloaded) return;
  cleaning_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{cleaning_};
  if (cleaningRunner)
    cleaningRunner(context_, cleaner);
  else
    cleaner(context_);
  refresh();
}

void MainWindowModel::previewPressed(CleanButton button) {
  if (cleaning_ || unloaded) return;
  static const char* const kTitles[] = {"Internet Explorer", "Netscape", "Opera",   "Windows",
                                        "all families",      "User.def", "Plugins", "Rules"};
  const FamilyCleaner cleaners[] = {
      cleanInternetExplorer,     trwk::cleanNetscape,   trwk::cleanOpera,   trwk::cleanWindows, cleanAll,
      context_.cleanUserDefined, context_.cleanPlugins, context_.cleanRules};
  const FamilyCleaner& cleaner = cleaners[button];
  if (!cleaner) return;
  PreviewModel preview(context_, cleaner, kTitles[button]);
  {
    // A schedule that comes due waits while the preview looks.
    cleaning_ = true;
    struct Done {
      bool& flag;
      ~Done() { flag = false; }
    } done{cleaning_};
    views_->showPreview(preview);
  }
  if (!preview.cleanRequested || unloaded) return;
  std::function<void(CleaningContext&, const FamilyCleaner&)> saved = std::move(cleaningRunner);
  cleaningRunner = [&](CleaningContext& context, const FamilyCleaner& run) {
    lastReport = cleanPlanned(context, run, preview.plan());
  };
  runCleaning(cleaner);
  cleaningRunner = std::move(saved);
  if (lastReport.skipped.empty() || unloaded) return;
  std::string text = counted(lastReport.skipped.size(), "planned entry was", "planned entries were") +
                     " left alone because they changed or went since the preview:\r\n";
  for (std::size_t i = 0; i < lastReport.skipped.size() && i < 10; ++i)
    text += "\r\n" + lastReport.skipped[i].entry.path + " (" + lastReport.skipped[i].why + ")";
  if (lastReport.skipped.size() > 10) text += "\r\n...";
  session_.platform.ui.messageBox({text, "Preview", Buttons::Ok, Icon::Information, 1});
}

void MainWindowModel::cleanIE() {
  runCleaning(cleanInternetExplorer);
}

void MainWindowModel::cleanNetscape() {
  runCleaning(trwk::cleanNetscape);
}

void MainWindowModel::cleanOpera() {
  runCleaning(trwk::cleanOpera);
}

void MainWindowModel::cleanWindows() {
  runCleaning(trwk::cleanWindows);
}

void MainWindowModel::cleanAllPressed() {
  runCleaning(cleanAll);
}

void MainWindowModel::cleanUserDef() {
  runCleaning(context_.cleanUserDefined);
}

void MainWindowModel::cleanPluginsPressed() {
  runCleaning(context_.cleanPlugins);
}

void MainWindowModel::cleanRulesPressed() {
  runCleaning(context_.cleanRules);
}

void MainWindowModel::openIeCookies() {
  IeCookiesModel cookies(context_);
  // Loaded before the window appears, so a missing cookie folder is explained first.
  cookies.load();
  views_->showIeCookies(cookies);
}

void MainWindowModel::openNetscapeCookies() {
  NetscapeCookiesModel cookies(context_);
  cookies.load();
  views_->showNetscapeCookies(cookies);
}

void MainWindowModel::openViewer(ViewerKind kind) {
  ViewerPlaces places{paths, locations.ieCacheIndexFound, locations.netscapeCacheFound,
                      locations.operaCacheFound};
  std::unique_ptr<ListViewerModel> viewer = makeViewer(kind, session_, places);
  // Listed before the window appears; a cache folder that is not there keeps it shut.
  if (viewer && viewer->open()) views_->showViewer(*viewer);
}

void MainWindowModel::animationTick() {
  trwk::animationTick(state);
  refresh();
}

void MainWindowModel::setSafetySlider(int position) {
  catalogue.sliderPosition = position;
  catalogue.fixSliderSettings();
  refresh();
}

void MainWindowModel::setTabActivation(int index, bool on) {
  // An unreadable flag of an earlier family stops the tab set-up there; it is logged.
  Trap trap(session_.log, "checkActiveTabs");
  trap.run([&] { catalogue.setTabActivation(session_, index, on); });
  keepSelectedPageEnabled();
  refresh();
}

void MainWindowModel::setRulesTabActivation(bool on) {
  catalogue.setRulesTabActivation(session_, on);
  keepSelectedPageEnabled();
  refresh();
}

void MainWindowModel::setUserDefActivation(int set, bool on) {
  Trap trap(session_.log, "checkUserdef");
  trap.run([&] { catalogue.setUserDefActivation(session_, set, on); });
  refresh();
}

void MainWindowModel::setUserDefName(int set, const std::string& name) {
  Trap trap(session_.log, "checkUserdef");
  trap.run([&] { catalogue.setUserDefName(session_, set, name); });
  refresh();
}

void MainWindowModel::setAutomaticClose(bool on) {
  state.automaticClose = on;
}

void MainWindowModel::setAutoStart(bool on) {
  catalogue.setAutoStart(session_, on);
}

void MainWindowModel::autoDetect(PathFamily family) {
  switch (family) {
    case kDetectIE:
      detection.detectIE();
      pathSettings.saveIE();
      break;
    case kDetectNetscape:
      detection.detectNetscape();
      pathSettings.saveNetscape();
      break;
    case kDetectOpera:
      detection.detectOpera();
      pathSettings.saveOpera();
      break;
    case kDetectWindows:
      detection.detectWindows();
      pathSettings.saveWindows();
      break;
  }
  refresh();
}

void MainWindowModel::autoDetectAll() {
  detection.detectIE();
  detection.detectNetscape();
  detection.detectOpera();
  detection.detectWindows();
  pathSettings.saveIE();
  pathSettings.saveNetscape();
  pathSettings.saveOpera();
  pathSettings.saveWindows();
  refresh();
}

void MainWindowModel::openTips() {
  TipsModel tips(session_, showTips);
  views_->showTips(tips);
}

}  // namespace trwk
