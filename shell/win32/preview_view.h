#pragma once
// The Win32 view of the "Preview" window: a virtual report list over the model's rows
// (item headings, entries, subtotals), a progress bar and status line while the preview
// runs, the total, and "Clean these" and "Close". The preview starts once the window is
// on screen.
#include <string>

#include "shell/preview_model.h"
#include "ui/win32/dialog_view.h"

namespace trwk::win32 {

class PreviewView : public DialogView {
 public:
  explicit PreviewView(PreviewModel& model) : model_(model) {}
  void refresh() override;

 protected:
  bool onInit() override;
  void onCommand(int id, int code) override;
  void onClose() override;
  bool onMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override;

 private:
  PreviewModel& model_;
  std::wstring cell_;  // the text last handed to the list, alive until it asks again
};

}  // namespace trwk::win32
