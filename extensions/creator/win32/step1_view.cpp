#include "extensions/creator/win32/step1_view.h"

#include <utility>

#include "extensions/creator/win32/creator_resource.h"
#include "ui/win32/program_icon.h"

namespace trwk::creator::win32 {

Step1View::Step1View(CreatorModel& model, std::function<void()> afterAction)
    : model_(model), afterAction_(std::move(afterAction)) {}

bool Step1View::onInit() {
  trwk::win32::setProgramIcon(hwnd());
  for (int id : {IDC_NAME, IDC_VERSION, IDC_CREATED, IDC_AUTHOR, IDC_INFO})
    SendMessageW(item(id), EM_LIMITTEXT, 254, 0);
  return false;
}

// The boxes belong to the user until "Next": nothing here is written back into them.
void Step1View::refresh() {}

void Step1View::readBoxes() {
  model_.name = controlText(IDC_NAME);
  model_.version = controlText(IDC_VERSION);
  model_.created = controlText(IDC_CREATED);
  model_.author = controlText(IDC_AUTHOR);
  model_.info = controlText(IDC_INFO);
}

void Step1View::onCommand(int id, int code) {
  if (code != BN_CLICKED) return;
  if (id == IDOK) {
    readBoxes();
    model_.next();
    afterAction_();
  } else if (id == IDCANCEL) {
    model_.cancel();
    afterAction_();
  }
}

void Step1View::onClose() {
  model_.cancel();
  afterAction_();
}

}  // namespace trwk::creator::win32
