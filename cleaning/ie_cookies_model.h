#pragma once
// The "Internet Explorer Cookies" window: the cookie files of the cookie folder on the
// left, the keep list cookies1.lst on the right, a preview of the chosen file.
#include <string>
#include <vector>

#include "cleaning/cleaning_context.h"
#include "cleaning/keep_lists.h"
#include "ui/toolbar.h"

namespace trwk {

class IeCookiesModel : public KeepListEditor {
 public:
  static constexpr const char* kCaption = "Internet Explorer Cookies";
  static constexpr const char* kAllLabel = "All Internet Explorer Cookies";
  static constexpr const char* kExcludedLabel = "Excluded from cleaning";
  static constexpr const char* kInformationLabel = "Cookie Information";
  static constexpr const char* kMissingFolderText =
      "Could not find Internet Explorer Cookies path.\r\n"
      "If you use Internet Explorer check the path under the 'Path' button.\r\n"
      "If you don't use Internet Explorer, you can disable the Internet Explorer tabs under "
      "the 'Maintenance' button";

  explicit IeCookiesModel(CleaningContext& context);

  const std::string caption = kCaption;
  std::vector<std::string> files;  // "All Internet Explorer Cookies"
  int selectedFile = -1;
  std::string preview;  // "Cookie Information"

  // Opening the window. Logs as "IECookies.Form.Load".
  void load();
  // A click on a file shows its text. Logs as "IECookies.File1".
  void selectFile(int index);
  // "Add": the chosen file joins the keep list.
  void add();
  // A double click on a file chooses and adds it. Logs as "IECookies.File1dbl".
  void doubleClickFile(int index);
  // "OK": stores the list, refreshes the main window's copy and closes. Logs as "IECookies.Command3".
  void ok();

  // The toolbar, "Add" and "Remove", repeats the buttons "Add" and "Delete".
  enum Tool { kToolAdd, kToolRemove };
  Toolbar toolbar() const { return {{"Add"}, {"Remove"}}; }
  void pressTool(int tool);

 private:
  CleaningContext& context_;
};

}  // namespace trwk
