#pragma once
// The Ui of the headless front end: each message box is printed with the answer taken
// (its default button), nothing waits for a person.
#include <iosfwd>

#include "platform/ui.h"

namespace trwk {

class ConsoleUi : public Ui {
 public:
  // out receives UTF-8 text.
  explicit ConsoleUi(std::ostream& out) : out_(out) {}

  Answer messageBox(const MessageBox& box) override;
  std::optional<std::string> pickFolder(const std::string& title) override;
  void setBusy(bool) override {}
  void doEvents() override {}

 private:
  std::ostream& out_;
};

// The answer the default button of a box gives.
Answer defaultButtonAnswer(const MessageBox& box);
const char* answerName(Answer answer);

}  // namespace trwk
