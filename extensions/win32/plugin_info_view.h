#pragma once
// The Win32 view of the "Plugin Info" window: modeless, so that the main window stays
// usable while it is open.
#include "extensions/plugin_info.h"
#include "platform/win32/win32_ui.h"  // <windows.h> without its MessageBox macro
#include "ui/win32/dialog_view.h"

namespace trwk::win32 {

class PluginInfoView : public DialogView {
 public:
  explicit PluginInfoView(PluginInfo& model) : model_(model) {}

  // Shows the window over owner with the model's content (creating it when closed).
  void open(HWND owner);
  void refresh() override;

 protected:
  bool onInit() override;
  void onCommand(int id, int code) override;
  void onClose() override;

 private:
  PluginInfo& model_;
};

}  // namespace trwk::win32
