#include "shell/startup.h"

#include "foundation/trap.h"
#include "shell/startup_temp_files.h"
#include "shell/version.h"

namespace trwk {

Application::Application(Platform platform, StartupOptions options)
    : platform_(platform),
      appSettings_(platform.registry, std::move(options.appSettingsKey)),
      requireReadableSettings_(options.requireReadableSettings) {}

Application::~Application() = default;

bool Application::start(StartupViews& views) {
  session_ = std::make_unique<Session>(platform_, programFolderFrom(platform_.desktop.programFolder()));
  Session& session = *session_;
  session.log.writeRunLog("Session Started", 0, 0, std::string(" TRWK ") + kVersion);
  Trap trap(session.log, kStartupProcedure);
  trap.step = 1;
  removeInterruptedWrites(platform_.files, platform_.clock, session.programFolder, trap);

  if (appSettings_.agreementSetting() == 1) {
    AgreementModel agreement(appSettings_, session.declined);
    views.showAgreement(agreement);
    // The shell-folder support installer comes with the program on old systems only.
    std::string installer = session.inFolder("ShFolder.Exe");
    if (platform_.files.fileExists(installer)) platform_.desktop.startProgram(installer, "");
  }
  if (session.declined) return false;
  if (requireReadableSettings_) {
    trap.step = 2;
    try {
      platform_.files.readAll(session.maintenIni());
    } catch (const Failure& f) {
      if (f.number() != fail::kFileNotFound) {
        trap.report(f.number(), f.description());
        settingsFailure_ = f;
        return false;
      }
    }
  }

  SplashModel splash(session.inFolder("377x159.jpg"));
  views.showSplash(splash);
  main_ = std::make_unique<MainWindowModel>(session);
  main_->attach(views.createMainWindow(*main_));
  main_->load();
  splash.close();
  views.closeSplash();
  main_->showPicture(session.inFolder("377x159.jpg"));
  return true;
}

}  // namespace trwk
