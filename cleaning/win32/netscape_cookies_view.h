#pragma once
// The Win32 view of the "Netscape Cookies" window; the main window loads the model and
// runs it modally over itself.
#include <string>
#include <vector>

#include "cleaning/netscape_cookies_model.h"
#include "platform/win32/win32_ui.h"  // <windows.h> without its MessageBox macro
#include "shell/win32/dialog_view.h"

namespace trwk::win32 {

class NetscapeCookiesView : public DialogView {
 public:
  explicit NetscapeCookiesView(NetscapeCookiesModel& model) : model_(model) {}
  void refresh() override;

 protected:
  void onCommand(int id, int code) override;
  void onClose() override;

 private:
  void fillList(int id, const std::vector<std::string>& items, std::vector<std::string>& shown, int selected);
  int selection(int id) const;

  NetscapeCookiesModel& model_;
  std::vector<std::string> shownCookies_, shownEntries_;
  bool filled_ = false;
};

}  // namespace trwk::win32
