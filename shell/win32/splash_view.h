#pragma once
#include "shell/splash_model.h"
#include "ui/win32/dialog_view.h"
#include "ui/win32/picture.h"

namespace trwk::win32 {

// The splash window: the picture and the version, shown while the main window loads.
class SplashView : public DialogView {
 public:
  explicit SplashView(SplashModel& model) : model_(model) {}
  void show();  // shows it and paints it at once
  void refresh() override;

 protected:
  bool onInit() override;
  void onCommand(int id, int code) override;
  bool onMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override;

 private:
  SplashModel& model_;
  Picture picture_;
};

}  // namespace trwk::win32
