#pragma once
// Base of every dialog view: one static dialog procedure links the HWND to its view
// object; the view copies model state onto the controls (refresh) and passes the user's
// actions to the model. Nothing thrown inside a handler leaves the procedure.
//
// ui/win32 lies below every feature: its helpers include nothing above platform/.
#include <string>
#include <vector>

#include "platform/win32/win32_ui.h"  // <windows.h> without its MessageBox macro

namespace trwk::win32 {

// Replaces the rows of a list box and sets how far it scrolls sideways, so that long
// rows (paths, tabbed cookie lines) can be read whole.
void fillListBox(HWND list, const std::vector<std::string>& rows);
void fillComboBox(HWND combo, const std::vector<std::string>& rows);
// The row a list box or drop-down list has chosen, -1 for none.
int listSelection(HWND list);
int comboSelection(HWND combo);

class DialogView {
 public:
  DialogView() = default;
  virtual ~DialogView();
  DialogView(const DialogView&) = delete;
  DialogView& operator=(const DialogView&) = delete;

  // Shows the dialog modally and returns when it has closed.
  void runModal(int templateId, HWND owner);
  // Creates the dialog without showing it; the view lives until the window is destroyed.
  HWND createModeless(int templateId, HWND owner);

  HWND hwnd() const { return hwnd_; }
  bool isOpen() const { return hwnd_ != nullptr; }
  // Closes the window: ends the modal loop or destroys a modeless dialog.
  void closeWindow();

  virtual void refresh() = 0;

 protected:
  // Returns true when it has put the focus on a control itself.
  virtual bool onInit() { return false; }
  virtual void onCommand(int id, int code) { (void)id, (void)code; }
  // The title bar's close button (and Alt+F4).
  virtual void onClose() {}
  virtual void onDestroy() {}
  // Other messages; return true when handled, with the dialog procedure's result.
  virtual bool onMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) {
    (void)msg, (void)wp, (void)lp, (void)result;
    return false;
  }

  // Control helpers, with Windows-1252 text.
  HWND item(int id) const { return GetDlgItem(hwnd_, id); }
  std::string controlText(int id) const;
  void setText(int id, const std::string& text);
  // Writes a control's text only when it differs: the caret of someone typing in a box
  // stays where it is, and a label is not repainted for nothing.
  void setBoxText(int id, const std::string& text);
  void setCaption(const std::string& text);
  bool checked(int id) const;
  void setChecked(int id, bool on);
  void setVisible(int id, bool visible);
  void setEnabled(int id, bool enabled);
  // Shows rows in list box id and chooses row selected (-1: none). The list is filled
  // again only when the rows differ from shown (what it holds now) or refill is set, and
  // the row is chosen only when it is not already, so that a refresh leaves the user's
  // scrolling alone.
  void showListRows(int id, const std::vector<std::string>& rows, std::vector<std::string>& shown,
                    int selected, bool refill);
  // The same for a drop-down list.
  void showComboRows(int id, const std::vector<std::string>& rows, std::vector<std::string>& shown,
                     int selected, bool refill);

 private:
  static INT_PTR CALLBACK procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  INT_PTR handle(UINT msg, WPARAM wp, LPARAM lp);

  HWND hwnd_ = nullptr;
  bool modal_ = false;
};

// The program's module: resources come from it.
HINSTANCE programInstance();

}  // namespace trwk::win32
