#pragma once
// The Win32 view of the "Internet Explorer Cookies" window; the main window loads the
// model and runs it modally over itself. Besides the two lists it shows the chosen
// cookie file's text under "Cookie Information".
#include <string>

#include "cleaning/ie_cookies_model.h"
#include "cleaning/win32/keep_list_view.h"

namespace trwk::win32 {

class IeCookiesView : public KeepListView<IeCookiesModel> {
 public:
  explicit IeCookiesView(IeCookiesModel& model);

 protected:
  void refreshOwn() override;

 private:
  std::string shownPreview_;
};

}  // namespace trwk::win32
