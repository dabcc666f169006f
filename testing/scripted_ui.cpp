#include "testing/scripted_ui.h"

namespace trwk::testing {

Answer defaultAnswer(const MessageBox& box) {
  bool first = box.defaultButton <= 1;
  switch (box.buttons) {
    case Buttons::Ok: return Answer::Ok;
    case Buttons::OkCancel: return first ? Answer::Ok : Answer::Cancel;
    case Buttons::YesNo: return first ? Answer::Yes : Answer::No;
    case Buttons::YesNoCancel:
      return box.defaultButton <= 1 ? Answer::Yes : box.defaultButton == 2 ? Answer::No : Answer::Cancel;
  }
  return Answer::Ok;
}

Answer ScriptedUi::messageBox(const MessageBox& box) {
  boxes.push_back(box);
  if (answers_.empty()) return defaultAnswer(box);
  Answer a = answers_.front();
  answers_.pop_front();
  return a;
}

std::optional<std::string> ScriptedUi::pickFolder(const std::string& title) {
  pickerTitles.push_back(title);
  if (folders_.empty()) return std::nullopt;
  auto f = folders_.front();
  folders_.pop_front();
  return f;
}

void ScriptedUi::setBusy(bool b) {
  busy = b;
  busyChanges.push_back(b);
}

}  // namespace trwk::testing
