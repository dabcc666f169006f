#include "ui/win32/toolbar.h"

#include <commctrl.h>

#include "ui/win32/dialog_view.h"

namespace trwk::win32 {

bool ToolbarControl::create(HWND dialog, int id, RECT area, int firstCommand, const Toolbar& buttons) {
  MapDialogRect(dialog, &area);
  // Text buttons only, laid where the dialog's template left room for them.
  toolbar_ = CreateWindowExW(
      0, TOOLBARCLASSNAMEW, nullptr,
      WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_LIST | CCS_NODIVIDER | CCS_NOPARENTALIGN | CCS_NORESIZE,
      area.left, area.top, area.right - area.left, area.bottom - area.top, dialog,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), programInstance(), nullptr);
  if (!toolbar_) return false;
  first_ = firstCommand;
  SendMessageW(toolbar_, WM_SETFONT, static_cast<WPARAM>(SendMessageW(dialog, WM_GETFONT, 0, 0)), FALSE);
  SendMessageW(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SendMessageW(toolbar_, TB_SETBITMAPSIZE, 0, MAKELPARAM(0, 0));
  std::vector<std::wstring> captions;
  captions.reserve(buttons.size());
  for (const ToolButton& button : buttons) captions.push_back(toWide(button.caption));
  std::vector<TBBUTTON> added(buttons.size());
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    added[i].iBitmap = I_IMAGENONE;
    added[i].idCommand = firstCommand + static_cast<int>(i);
    added[i].fsState = static_cast<BYTE>(buttons[i].enabled ? TBSTATE_ENABLED : 0);
    added[i].fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE;
    added[i].iString = reinterpret_cast<INT_PTR>(captions[i].c_str());
  }
  SendMessageW(toolbar_, TB_ADDBUTTONSW, added.size(), reinterpret_cast<LPARAM>(added.data()));
  shown_ = buttons;
  return true;
}

void ToolbarControl::setCaption(int button, const std::string& caption) {
  std::wstring wide = toWide(caption);
  TBBUTTONINFOW info{};
  info.cbSize = sizeof info;
  info.dwMask = TBIF_TEXT;
  info.pszText = wide.data();
  SendMessageW(toolbar_, TB_SETBUTTONINFOW, static_cast<WPARAM>(first_ + button),
               reinterpret_cast<LPARAM>(&info));
}

void ToolbarControl::show(const Toolbar& buttons) {
  if (!toolbar_) return;
  for (std::size_t i = 0; i < buttons.size() && i < shown_.size(); ++i) {
    const auto command = static_cast<WPARAM>(first_ + static_cast<int>(i));
    if (buttons[i].caption != shown_[i].caption) setCaption(static_cast<int>(i), buttons[i].caption);
    if (buttons[i].enabled != shown_[i].enabled)
      SendMessageW(toolbar_, TB_ENABLEBUTTON, command, MAKELPARAM(buttons[i].enabled ? TRUE : FALSE, 0));
    shown_[i] = buttons[i];
  }
}

int ToolbarControl::buttonOf(int command) const {
  const int button = command - first_;
  return toolbar_ && button >= 0 && button < static_cast<int>(shown_.size()) ? button : -1;
}

}  // namespace trwk::win32
