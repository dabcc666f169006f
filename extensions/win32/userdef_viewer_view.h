#pragma once
// The Win32 view of the window "User Defined Files": a chooser of the active sets and
// the chosen set's entries, read only, closed with "Done". Also the list helpers the
// User.def page shares with it.
#include <string>
#include <vector>

#include "extensions/user_def_sets.h"
#include "platform/win32/win32_ui.h"  // <windows.h> without its MessageBox macro
#include "shell/win32/dialog_view.h"

namespace trwk::win32 {

// Replaces the rows of a list box and sets how far it scrolls sideways, so that long
// paths can be read whole.
void fillListBox(HWND list, const std::vector<std::string>& rows);
void fillComboBox(HWND combo, const std::vector<std::string>& rows);
// The row a list box or drop-down list has chosen, -1 for none.
int listSelection(HWND list);
int comboSelection(HWND combo);

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
