#pragma once
#include "shell/tips_model.h"
#include "ui/win32/dialog_view.h"

namespace trwk::win32 {

// The "Notice!" window, modal over the main window.
class TipsView : public DialogView {
 public:
  explicit TipsView(TipsModel& model) : model_(model) {}
  void show(HWND owner);
  void refresh() override;

 protected:
  void onCommand(int id, int code) override;
  void onClose() override;

 private:
  TipsModel& model_;
};

}  // namespace trwk::win32
