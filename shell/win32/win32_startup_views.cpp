#include "shell/win32/win32_startup_views.h"

#include "shell/win32/agreement_view.h"

namespace trwk::win32 {

void Win32StartupViews::showAgreement(AgreementModel& agreement) {
  AgreementView view(agreement);
  view.show();
}

void Win32StartupViews::showSplash(SplashModel& splash) {
  splash_ = std::make_unique<SplashView>(splash);
  splash_->show();
}

MainWindowViews& Win32StartupViews::createMainWindow(MainWindowModel& main) {
  main_ = std::make_unique<MainWindowView>(main);
  main_->create();
  return *main_;
}

void Win32StartupViews::closeSplash() {
  if (splash_) splash_->closeWindow();
  splash_.reset();
}

}  // namespace trwk::win32
