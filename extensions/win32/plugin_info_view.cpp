#include "extensions/win32/plugin_info_view.h"

#include "extensions/win32/plugins_resource.h"

namespace trwk::win32 {
namespace {

// The edit controls show line breaks only as CR LF.
std::string withCrLf(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += text[i];
  }
  return out;
}

}  // namespace

void PluginInfoView::open(HWND owner) {
  if (!isOpen() && !createModeless(IDD_PLUGIN_INFO, owner)) return;
  refresh();
  ShowWindow(hwnd(), SW_SHOW);
  SetForegroundWindow(hwnd());
}

// The read-only fields are for reading; the keyboard starts on "OK".
bool PluginInfoView::onInit() {
  SetFocus(item(IDOK));
  return true;
}

void PluginInfoView::refresh() {
  if (!hwnd()) return;
  setText(IDC_PLUGIN_INFO_NAME, model_.name);
  setText(IDC_PLUGIN_INFO_VERSION, model_.version);
  setText(IDC_PLUGIN_INFO_CREATED, model_.created);
  setText(IDC_PLUGIN_INFO_AUTHOR, model_.author);
  setText(IDC_PLUGIN_INFO_TEXT, withCrLf(model_.info));
  HWND remove = item(IDC_PLUGIN_INFO_DELETE);
  // A button that goes grey must not keep the keyboard focus.
  if (!model_.deleteEnabled && GetFocus() == remove)
    SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item(IDOK)), TRUE);
  EnableWindow(remove, model_.deleteEnabled ? TRUE : FALSE);
}

void PluginInfoView::onCommand(int id, int code) {
  if (code != BN_CLICKED) return;
  if (id == IDC_PLUGIN_INFO_DELETE) {
    model_.deletePlugin();
    refresh();
  } else if (id == IDOK || id == IDCANCEL) {
    onClose();
  }
}

void PluginInfoView::onClose() {
  model_.close();
  closeWindow();
}

}  // namespace trwk::win32
