#include "automation/win32/scheduler_panel_view.h"

#include "automation/win32/automation_resource.h"

namespace trwk::win32 {
namespace {

constexpr int kLists = 4;  // days, hours, minutes, family

}  // namespace

SchedulerPanelView::SchedulerPanelView(HWND parent, AutomaticChoices& choices, Scheduler& scheduler,
                                       RECT area)
    : choices_(choices), scheduler_(scheduler) {
  createPage(IDD_SCHEDULER_PANEL, parent, area);
}

ChoiceList& SchedulerPanelView::list(int index) {
  switch (index) {
    case 0: return choices_.day;
    case 1: return choices_.hour;
    case 2: return choices_.minute;
    default: return choices_.clean;
  }
}

void SchedulerPanelView::refreshList(int index) {
  const auto at = static_cast<std::size_t>(index);
  const ChoiceList& choice = list(index);
  HWND box = item(IDC_SCHEDULE_LIST_FIRST + index);
  if (!filled_[at] || choice.items != shown_[at]) {
    SendMessageW(box, CB_RESETCONTENT, 0, 0);
    for (const std::string& entry : choice.items) {
      std::wstring wide = toWide(entry);
      SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    }
    shown_[at] = choice.items;
    filled_[at] = true;
  }
  if (static_cast<int>(SendMessageW(box, CB_GETCURSEL, 0, 0)) != choice.selected)
    SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(choice.selected), 0);
}

void SchedulerPanelView::refresh() {
  if (!hwnd()) return;
  refreshing_ = true;
  for (int i = 0; i < kLists; ++i) refreshList(i);
  setText(IDC_SCHEDULE_START_STOP, scheduler_.caption);
  setText(IDC_SCHEDULE_NEXT, scheduler_.nextRunText());
  refreshing_ = false;
}

void SchedulerPanelView::onCommand(int id, int code) {
  if (refreshing_) return;
  if (id >= IDC_SCHEDULE_LIST_FIRST && id < IDC_SCHEDULE_LIST_FIRST + kLists) {
    if (code != CBN_SELCHANGE) return;
    const auto at = static_cast<int>(SendMessageW(item(id), CB_GETCURSEL, 0, 0));
    list(id - IDC_SCHEDULE_LIST_FIRST).choose(at);
  } else if (id == IDC_SCHEDULE_START_STOP) {
    if (code != BN_CLICKED) return;
    scheduler_.startStop();
  } else {
    return;
  }
  refresh();
  afterAction();
}

}  // namespace trwk::win32
