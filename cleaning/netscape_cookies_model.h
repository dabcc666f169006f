#pragma once
// The "Netscape Cookies" window: the lines of the Netscape user folder's cookies.txt on
// the left, the keep list cookies2.lst on the right. After cleaning, the keep list is
// what cookies.txt holds.
#include <string>
#include <vector>

#include "cleaning/cleaning_context.h"
#include "cleaning/keep_lists.h"
#include "ui/toolbar.h"

namespace trwk {

// The chosen Netscape user's folder: the users folder ([Path] Netscape1A, ending in a
// backslash) followed by the user's folder name ([Path] Netscape1C).
std::string netscapeUserFolder(const PathValues& paths);

class NetscapeCookiesModel : public KeepListEditor {
 public:
  static constexpr const char* kCaption = "Netscape Cookies";
  static constexpr const char* kAllLabel = "All Netscape Cookies";
  static constexpr const char* kExcludedLabel = "Excluded from cleaning";

  explicit NetscapeCookiesModel(CleaningContext& context);

  const std::string caption = kCaption;
  std::vector<std::string> cookies;  // "All Netscape Cookies"
  int selectedCookie = -1;

  // Opening the window. Logs as "NetCookies.Load".
  void load();
  void selectCookie(int index);
  // "Add" (or a double click on a cookie): the chosen cookie line joins the keep list.
  void add();
  void doubleClickCookie(int index);
  // "OK": stores the list and closes. Logs as "NetCookies.command3".
  void ok();

  // The toolbar, "Add" and "Remove", repeats the buttons "Add" and "Delete".
  enum Tool { kToolAdd, kToolRemove };
  Toolbar toolbar() const { return {{"Add"}, {"Remove"}}; }
  void pressTool(int tool);

 private:
  CleaningContext& context_;
};

}  // namespace trwk
