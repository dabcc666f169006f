#pragma once
// The Win32 view of the "Netscape Cookies" window; the main window loads the model and
// runs it modally over itself. Its left list holds the lines of cookies.txt.
#include "cleaning/netscape_cookies_model.h"
#include "cleaning/win32/keep_list_view.h"

namespace trwk::win32 {

class NetscapeCookiesView : public KeepListView<NetscapeCookiesModel> {
 public:
  explicit NetscapeCookiesView(NetscapeCookiesModel& model);
};

}  // namespace trwk::win32
