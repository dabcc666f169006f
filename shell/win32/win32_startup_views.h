#pragma once
#include <memory>

#include "shell/startup.h"
#include "shell/win32/main_window_view.h"
#include "shell/win32/splash_view.h"

namespace trwk::win32 {

// The windows of the start-up sequence; keeps the splash and main window views alive.
class Win32StartupViews : public StartupViews {
 public:
  void showAgreement(AgreementModel& agreement) override;
  void showSplash(SplashModel& splash) override;
  MainWindowViews& createMainWindow(MainWindowModel& main) override;
  void closeSplash() override;

 private:
  std::unique_ptr<SplashView> splash_;
  std::unique_ptr<MainWindowView> main_;
};

}  // namespace trwk::win32
