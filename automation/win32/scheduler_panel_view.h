#pragma once
// The Win32 view of the "Automatic Cleaning" panel on the main window's Maintenance page:
// a child dialog with the day, hour, minute and family lists and the start/stop button.
// It copies the lists' choices and the scheduler's caption onto its controls and hands
// every choice and the button to the model.
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "automation/automatic_choices.h"
#include "automation/scheduler.h"
#include "platform/win32/win32_ui.h"  // <windows.h> without its MessageBox macro
#include "ui/win32/page_view.h"

namespace trwk::win32 {

// Laid over the Maintenance page as a page of its own, shown with it.
class SchedulerPanelView : public PageView {
 public:
  // Creates the panel, hidden, as a child of parent. area: where it goes, in the parent's
  // dialog units.
  SchedulerPanelView(HWND parent, AutomaticChoices& choices, Scheduler& scheduler,
                     RECT area = {14, 266, 386, 372});

  void refresh() override;

  // Runs after each action of the panel, so that the main window can follow the schedule
  // (its timer, the close box, hiding to the notification area).
  std::function<void()> afterAction = [] {};

 protected:
  void onCommand(int id, int code) override;

 private:
  ChoiceList& list(int index);
  void refreshList(int index);

  AutomaticChoices& choices_;
  Scheduler& scheduler_;
  // The entries each list shows, to fill it again only when they change.
  std::array<std::vector<std::string>, 4> shown_;
  std::array<bool, 4> filled_{};
  bool refreshing_ = false;  // control changes made by refresh are not the user's
};

}  // namespace trwk::win32
