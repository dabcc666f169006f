#include "shell/win32/agreement_view.h"

#include "shell/win32/resource.h"
#include "ui/win32/program_icon.h"

namespace trwk::win32 {

void AgreementView::show() {
  runModal(IDD_AGREEMENT, nullptr);
}

bool AgreementView::onInit() {
  setProgramIcon(hwnd());
  model_.open();
  closeIfDone();
  SetFocus(item(IDC_AGREE));
  return true;
}

void AgreementView::refresh() {
  setCaption(model_.caption);
  setText(IDC_LICENCE, model_.text);
  setText(IDC_SHOWTIPS, AgreementModel::kShowTipsCaption);
  setChecked(IDC_SHOWTIPS, model_.showTipsTicked);
}

void AgreementView::onCommand(int id, int code) {
  if (code != BN_CLICKED) return;
  switch (id) {
    case IDC_SHOWTIPS: model_.setShowTips(checked(IDC_SHOWTIPS)); break;
    case IDC_AGREE: model_.agree(); break;
    case IDC_DISAGREE: model_.disagree(); break;
    default: return;  // Escape (IDCANCEL) does nothing here
  }
  refresh();
  closeIfDone();
}

void AgreementView::onClose() {
  model_.closeByTitleBar();
  closeIfDone();
}

void AgreementView::closeIfDone() {
  if (model_.closed) closeWindow();
}

}  // namespace trwk::win32
