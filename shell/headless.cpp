#include "shell/headless.h"

#include <memory>
#include <optional>
#include <ostream>

#include "cleaning/preview.h"
#include "shell/command_line.h"
#include "shell/plan_text.h"
#include "shell/tips_model.h"
#include "shell/version.h"

namespace trwk {
namespace {

// What `--clean` runs for each available family, and the name it is announced by.
struct HeadlessFamily {
  const char* option;
  const char* title;
  void (MainWindowModel::*clean)();
};

constexpr HeadlessFamily kFamilies[] = {
    {"all", "all families", &MainWindowModel::cleanAllPressed},
    {"ie", "Internet Explorer", &MainWindowModel::cleanIE},
    {"netscape", "Netscape", &MainWindowModel::cleanNetscape},
    {"opera", "Opera", &MainWindowModel::cleanOpera},
    {"windows", "Windows", &MainWindowModel::cleanWindows},
    {"userdef", "the user-defined sets", &MainWindowModel::cleanUserDef},
    {"plugins", "the plugins", &MainWindowModel::cleanPluginsPressed},
    {"rules", "the rule entries", &MainWindowModel::cleanRulesPressed},
};

const HeadlessFamily* headlessFamily(const std::string& option) {
  for (const HeadlessFamily& f : kFamilies)
    if (option == f.option) return &f;
  return nullptr;
}

std::string availableList() {
  std::string list;
  for (const HeadlessFamily& f : kFamilies)
    list += (list.empty() ? "'" : ", '") + std::string(f.option) + "'";
  return list;
}

// The windows of the start-up sequence, none of them on screen. The agreement is taken
// as accepted only when the command line says so; otherwise it is declined, which ends
// the run before any setting is read or written.
class HeadlessViews : public StartupViews, public MainWindowViews {
 public:
  explicit HeadlessViews(bool acceptLicence) : accept_(acceptLicence) {}

  bool agreementAsked = false;

  void showAgreement(AgreementModel& agreement) override {
    agreementAsked = true;
    agreement.open();
    if (agreement.closed) return;
    if (accept_)
      agreement.agree();
    else
      agreement.disagree();
  }
  void showSplash(SplashModel&) override {}
  MainWindowViews& createMainWindow(MainWindowModel&) override { return *this; }
  void closeSplash() override {}

  void show() override {}
  void refresh() override {}
  void showTips(TipsModel& tips) override { tips.ok(); }  // a notice for people at the screen
  void showIeCookies(IeCookiesModel&) override {}
  void showNetscapeCookies(NetscapeCookiesModel&) override {}
  void closeOtherWindows() override {}
  void close() override {}

 private:
  bool accept_;
};

}  // namespace

int runHeadless(Platform platform, const HeadlessOptions& options, std::ostream& out, std::ostream& err) {
  const HeadlessFamily* family = headlessFamily(options.family);
  if (!family) {
    err << kProgramName << ": there is no family '" << options.family << "' to clean; " << availableList()
        << " are.\n";
    return kExitCommandLine;
  }
  // A preview's whole session, start-up and load included, runs on services that keep
  // every change from happening.
  std::unique_ptr<RunRecorder> unchanging;
  if (options.preview)
    unchanging = std::make_unique<RunRecorder>(platform, programFolderFrom(platform.desktop.programFolder()),
                                               RecordMode::Preview);
  std::ostream& talk = options.json ? err : out;
  StartupOptions startup = options.startup;
  startup.requireReadableSettings = true;
  Application app(unchanging ? unchanging->platform() : platform, startup);
  HeadlessViews views(options.acceptLicence);
  if (!app.start(views)) {
    if (const std::optional<Failure>& failure = app.settingsFailure()) {
      err << kProgramName << ": the settings file " << app.session()->maintenIni()
          << " cannot be read: " << failure->description() << " (" << failure->number()
          << "). Nothing was cleaned.\n";
      return kExitCannotStart;
    }
    err << kProgramName << ": the licence agreement and disclaimer have not been accepted yet.\n"
        << "Start " << kProgramName
        << " once with its windows and press \"I Agree\", or add --accept-licence\n"
        << "to accept them for this user now. Nothing was cleaned.\n";
    return kExitLicence;
  }
  if (views.agreementAsked)
    talk << "Licence agreement and disclaimer accepted (--accept-licence"
         << (options.preview ? "; for this preview only, nothing is stored" : "") << ").\n";
  Session& session = *app.session();
  MainWindowModel& main = *app.mainWindow();
  talk << kProductName << " " << kVersion << ": " << (options.preview ? "preview of cleaning " : "cleaning ")
       << family->title << " with the settings in " << session.maintenIni() << "\n";
  talk.flush();

  Plan plan;
  RunReport report;
  main.cleaningRunner = [&](CleaningContext& context, const FamilyCleaner& cleaner) {
    if (options.preview)
      plan = previewCleaning(context, cleaner);
    else
      report = cleanCounted(context, cleaner);
  };
  (main.*family->clean)();
  main.cleaningRunner = nullptr;

  const PlanHeading heading{options.family, session.log.path()};
  if (options.preview) {
    main.unload();  // writes nothing: the services keep it from happening
    if (options.json)
      printPlanJson(out, plan, heading);
    else
      printPlanText(out, plan);
    out.flush();
    return 0;
  }
  talk << main.state.statusText << "\n";
  // Closing after cleaning has unloaded the window already; a second unload does nothing.
  main.unload();
  if (options.json)
    printReportJson(out, report, heading);
  else
    printReportText(out, report, heading);
  out.flush();
  return report.overall().failed > 0 ? kExitSomeFailed : 0;
}

}  // namespace trwk
