#pragma once
// The program's entry: program folder, "Session Started", the leftovers of interrupted
// writes, the licence agreement on a first run, the splash window while the main window
// loads, and the main window's picture.
#include <memory>
#include <optional>
#include <string>

#include "foundation/session.h"
#include "platform/failure.h"
#include "platform/platform.h"
#include "shell/agreement_model.h"
#include "shell/app_settings_store.h"
#include "shell/main_window_model.h"
#include "shell/splash_model.h"

namespace trwk {

// The windows the start-up sequence opens. The Win32 layer implements it; tests record.
class StartupViews {
 public:
  virtual ~StartupViews() = default;
  // Modal: returns when the window has closed.
  virtual void showAgreement(AgreementModel& agreement) = 0;
  // Without blocking; the window paints at once.
  virtual void showSplash(SplashModel& splash) = 0;
  // The main window, created hidden: its load shows it.
  virtual MainWindowViews& createMainWindow(MainWindowModel& main) = 0;
  virtual void closeSplash() = 0;
};

struct StartupOptions {
  // The program's key in the per-user application settings store.
  std::string appSettingsKey = AppSettingsStore::kDefaultKey;
  // A mainten.ini that is there but cannot be read ends the start before the main
  // window loads (a run without windows must not clean by settings it never saw). A
  // missing one is no reason: the settings start empty and are written at the end.
  bool requireReadableSettings = false;
};

// The name the start-up's own failures are logged under.
inline constexpr const char* kStartupProcedure = "Main";

class Application {
 public:
  explicit Application(Platform platform, StartupOptions options = {});
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // The start-up sequence. False when the program ends at once (the agreement was
  // declined, or settingsFailure() tells why the settings could not be read); otherwise
  // the main window is open and the program runs until it closes.
  bool start(StartupViews& views);
  const std::optional<Failure>& settingsFailure() const { return settingsFailure_; }

  Session* session() { return session_.get(); }
  MainWindowModel* mainWindow() { return main_.get(); }
  AppSettingsStore& appSettings() { return appSettings_; }

 private:
  Platform platform_;
  AppSettingsStore appSettings_;
  std::unique_ptr<Session> session_;
  std::unique_ptr<MainWindowModel> main_;
  std::optional<Failure> settingsFailure_;
  bool requireReadableSettings_;
};

}  // namespace trwk
