#pragma once
// What models need of the person in front of the screen. Views and the console
// implement it; tests script it.
#include <optional>
#include <string>

namespace trwk {

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Icon { None, Information, Question, Exclamation, Critical };
enum class Answer { Ok, Cancel, Yes, No };

struct MessageBox {
  std::string text;
  std::string title;
  Buttons buttons = Buttons::Ok;
  Icon icon = Icon::None;
  int defaultButton = 1;  // 1-based
};

class Ui {
 public:
  virtual ~Ui() = default;
  virtual Answer messageBox(const MessageBox& box) = 0;
  // System folder picker; nothing when the user cancels.
  virtual std::optional<std::string> pickFolder(const std::string& title) = 0;
  virtual void setBusy(bool busy) = 0;
  // Lets pending window events run so that a long task repaints.
  virtual void doEvents() = 0;
};

}  // namespace trwk
