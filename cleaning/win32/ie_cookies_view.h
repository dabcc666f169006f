#pragma once
// The Win32 view of the "Internet Explorer Cookies" window; the main window loads the
// model and runs it modally over itself.
#include <string>
#include <vector>

#include "cleaning/ie_cookies_model.h"
#include "platform/win32/win32_ui.h"  // <windows.h> without its MessageBox macro
#include "shell/win32/dialog_view.h"

namespace trwk::win32 {

class IeCookiesView : public DialogView {
 public:
  explicit IeCookiesView(IeCookiesModel& model) : model_(model) {}
  void refresh() override;

 protected:
  void onCommand(int id, int code) override;
  void onClose() override;

 private:
  void fillList(int id, const std::vector<std::string>& items, std::vector<std::string>& shown, int selected);
  int selection(int id) const;

  IeCookiesModel& model_;
  std::vector<std::string> shownFiles_, shownEntries_;
  std::string shownPreview_;
  bool filled_ = false;
};

}  // namespace trwk::win32
