#pragma once
#include "shell/main_window_model.h"
#include "shell/win32/dialog_view.h"
#include "shell/win32/picture.h"

namespace trwk::win32 {

// The main window: picture pane, tabbed pages, progress bar and status bar.
class MainWindowView : public DialogView, public MainWindowViews {
 public:
  explicit MainWindowView(MainWindowModel& model) : model_(model) {}
  bool create();  // hidden until the model's load shows it

  void show() override;
  void refresh() override;
  void showTips(TipsModel& tips) override;
  void closeOtherWindows() override;
  void close() override;

 protected:
  bool onInit() override;
  void onClose() override;
  void onDestroy() override;
  bool onMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override;

 private:
  void refreshNotices();
  MainWindowModel& model_;
  Picture picture_;
};

}  // namespace trwk::win32
