#include "rules/win32/rules_page_view.h"

#include <commctrl.h>

#include <utility>

#include "rules/win32/rules_resource.h"

namespace trwk::win32 {
namespace {

constexpr int kNameColumn = 0, kGroupColumn = 1, kNoteColumn = 2;

void setCell(HWND list, int row, int column, const std::string& text) {
  std::wstring wide = toWide(text);
  LVITEMW cell{};
  cell.iSubItem = column;
  cell.pszText = wide.data();
  SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
}

std::string noteOf(const RuleRow& row) {
  if (!row.refusal.empty()) return "Refused: " + row.refusal;
  if (!row.warning.empty()) return "Warning: " + row.warning;
  return "";
}

}  // namespace

RulesPageView::RulesPageView(HWND parent, RulesPageModel& model, CleanPageActions actions, RECT area)
    : model_(model), actions_(std::move(actions)) {
  createPage(IDD_RULES_PAGE, parent, area);
}

bool RulesPageView::onInit() {
  HWND list = item(IDC_RULES_LIST);
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT,
               LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
  RECT r{};
  GetClientRect(list, &r);
  const int width = r.right - r.left;
  const struct {
    const wchar_t* title;
    int share;  // of the list's width, in percent
  } columns[] = {{L"Entry", 50}, {L"Group", 20}, {L"Note", 30}};
  for (int i = 0; i < 3; ++i) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<wchar_t*>(columns[i].title);
    column.cx = width * columns[i].share / 100;
    column.iSubItem = i;
    SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
  }
  return true;
}

// The rows and their groups, put in afresh when the model's entries change.
void RulesPageView::fill() {
  HWND list = item(IDC_RULES_LIST);
  SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
  SendMessageW(list, LVM_REMOVEALLGROUPS, 0, 0);
  // Where the list can show groups, each group has a header; elsewhere the column says it.
  const bool grouped = SendMessageW(list, LVM_ENABLEGROUPVIEW, TRUE, 0) >= 0;
  std::vector<std::wstring> headers;
  for (std::size_t g = 0; grouped && g < model_.groups.size(); ++g) {
    headers.push_back(toWide(model_.groups[g]));
    LVGROUP group{};
    group.cbSize = sizeof group;
    group.mask = LVGF_HEADER | LVGF_GROUPID;
    group.pszHeader = headers.back().data();
    group.iGroupId = static_cast<int>(g) + 1;
    SendMessageW(list, LVM_INSERTGROUP, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&group));
  }
  for (std::size_t i = 0; i < model_.rows.size(); ++i) {
    const RuleRow& row = model_.rows[i];
    std::wstring name = toWide(row.name);
    LVITEMW entry{};
    entry.mask = LVIF_TEXT | LVIF_PARAM | (grouped ? LVIF_GROUPID : 0u);
    entry.iItem = static_cast<int>(i);
    entry.pszText = name.data();
    entry.lParam = static_cast<LPARAM>(i);
    for (std::size_t g = 0; g < model_.groups.size(); ++g)
      if (model_.groups[g] == row.group) entry.iGroupId = static_cast<int>(g) + 1;
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&entry));
    setCell(list, static_cast<int>(i), kGroupColumn, row.group);
    setCell(list, static_cast<int>(i), kNoteColumn, noteOf(row));
  }
  (void)kNameColumn;
}

std::string RulesPageView::details() const {
  if (model_.highlighted < 0) return "";
  const RuleRow& row = model_.rows[static_cast<std::size_t>(model_.highlighted)];
  const RuleEntry& entry = model_.rules.entries[row.entry];
  std::string text =
      row.name + " (" + row.group + "; " + entry.file + ", line " + std::to_string(entry.line) + ")";
  if (!row.warning.empty()) text += "\r\nWarning: " + row.warning;
  if (!row.refusal.empty()) text += "\r\nRefused, never cleaned: " + row.refusal;
  return text;
}

void RulesPageView::refresh() {
  if (!hwnd()) return;
  refreshing_ = true;
  HWND list = item(IDC_RULES_LIST);
  std::vector<std::string> names;
  for (const RuleRow& row : model_.rows) names.push_back(row.name);
  if (!filled_ || names != shownNames_) {
    fill();
    shownNames_ = std::move(names);
    filled_ = true;
  }
  for (std::size_t i = 0; i < model_.rows.size(); ++i) {
    const UINT want = INDEXTOSTATEIMAGEMASK(model_.rows[i].ticked ? 2 : 1);
    const auto have = static_cast<UINT>(SendMessageW(list, LVM_GETITEMSTATE, i, LVIS_STATEIMAGEMASK));
    if (have == want) continue;
    LVITEMW state{};
    state.stateMask = LVIS_STATEIMAGEMASK;
    state.state = want;
    SendMessageW(list, LVM_SETITEMSTATE, i, reinterpret_cast<LPARAM>(&state));
  }
  setBoxText(IDC_RULES_SUMMARY, model_.summary);
  setBoxText(IDC_RULES_DETAILS, details());
  refreshing_ = false;
}

void RulesPageView::onCommand(int id, int code) {
  if ((id != IDC_RULES_CLEAN && id != IDC_RULES_PREVIEW) || code != BN_CLICKED) return;
  if (id == IDC_RULES_CLEAN)
    actions_.clean();
  else
    actions_.preview();
  refresh();
  actions_.afterAction();
}

bool RulesPageView::onMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) {
  if (msg != WM_NOTIFY || wp != IDC_RULES_LIST) return false;
  const auto* header = reinterpret_cast<const NMHDR*>(lp);
  if (header->code == NM_CUSTOMDRAW) {
    // A refused entry's row is greyed out.
    auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(lp);
    LRESULT answer = CDRF_DODEFAULT;
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
      answer = CDRF_NOTIFYITEMDRAW;
    } else if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
      const auto row = static_cast<std::size_t>(draw->nmcd.lItemlParam);
      if (row < model_.rows.size() && !model_.rows[row].refusal.empty())
        draw->clrText = GetSysColor(COLOR_GRAYTEXT);
    }
    SetWindowLongPtrW(hwnd(), DWLP_MSGRESULT, answer);
    result = TRUE;
    return true;
  }
  if (header->code != LVN_ITEMCHANGED || refreshing_) return false;
  const auto* change = reinterpret_cast<const NMLISTVIEW*>(lp);
  if (change->iItem < 0 || !(change->uChanged & LVIF_STATE)) return false;
  const UINT changed = change->uNewState ^ change->uOldState;
  if ((changed & LVIS_STATEIMAGEMASK) && (change->uOldState & LVIS_STATEIMAGEMASK)) {
    const bool on = ((change->uNewState & LVIS_STATEIMAGEMASK) >> 12) == 2;
    model_.setTicked(change->iItem, on);
    refresh();  // a declined Warning or a refused entry puts the box back
    actions_.afterAction();
  }
  if ((changed & LVIS_SELECTED) && (change->uNewState & LVIS_SELECTED)) {
    model_.highlight(change->iItem);
    refresh();
  }
  return true;
}

}  // namespace trwk::win32
