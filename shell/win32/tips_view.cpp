#include "shell/win32/tips_view.h"

#include "shell/win32/resource.h"

namespace trwk::win32 {

void TipsView::show(HWND owner) {
  runModal(IDD_TIPS, owner);
}

void TipsView::refresh() {
  setCaption(model_.caption);
  setText(IDC_TIP1, model_.notices[0]);
  setText(IDC_TIP2, model_.notices[1]);
  setText(IDC_TIP3, model_.notices[2]);
  setText(IDC_DONOTPROMPT, TipsModel::kDoNotPromptCaption);
  setText(IDOK, TipsModel::kOkCaption);
  setChecked(IDC_DONOTPROMPT, model_.doNotPrompt);
  if (model_.closed) closeWindow();
}

void TipsView::onCommand(int id, int code) {
  if (code != BN_CLICKED) return;
  if (id == IDC_DONOTPROMPT)
    model_.setDoNotPrompt(checked(IDC_DONOTPROMPT));
  else if (id == IDOK)
    model_.ok();
  else if (id == IDCANCEL)
    model_.closeByTitleBar();  // Escape
  else
    return;
  refresh();
}

void TipsView::onClose() {
  model_.closeByTitleBar();
  refresh();
}

}  // namespace trwk::win32
