#pragma once
// The Win32 view of the window "User Defined Files": a chooser of the active sets and
// the chosen set's entries, read only, closed with "Done".
#include "extensions/user_def_sets.h"
#include "platform/win32/win32_ui.h"  // <windows.h> without its MessageBox macro
#include "ui/win32/dialog_view.h"

namespace trwk::win32 {

class UserDefViewerView : public DialogView {
 public:
  explicit UserDefViewerView(UserDefViewer& model) : model_(model) {}

  // Opens the window modally over owner and returns when "Done" has closed it.
  void show(HWND owner);
  void refresh() override;

 protected:
  bool onInit() override;
  void onCommand(int id, int code) override;
  void onClose() override;

 private:
  UserDefViewer& model_;
};

}  // namespace trwk::win32
