#include "cleaning/win32/netscape_cookies_view.h"

#include "cleaning/win32/netscape_cookies_resource.h"

namespace trwk::win32 {

NetscapeCookiesView::NetscapeCookiesView(NetscapeCookiesModel& model)
    : KeepListView(model,
                   {IDC_NSC_ALL_LABEL,
                    IDC_NSC_COOKIES,
                    IDC_NSC_EXCLUDED_LABEL,
                    IDC_NSC_ENTRIES,
                    IDC_NSC_ADD,
                    IDC_NSC_DELETE,
                    IDC_NSC_TOOLBAR,
                    IDC_NSC_TOOL_FIRST,
                    {0, 2, 470, 18}},
                   {&NetscapeCookiesModel::cookies, &NetscapeCookiesModel::selectedCookie,
                    &NetscapeCookiesModel::selectCookie, &NetscapeCookiesModel::doubleClickCookie}) {}

}  // namespace trwk::win32
