#pragma once
// A Ui for tests: records every message box and answers from a script.
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui.h"

namespace trwk::testing {

class ScriptedUi : public Ui {
 public:
  // Answers given in order; once the script runs out, each box gets its default button.
  void answer(Answer a) { answers_.push_back(a); }
  void pickFolderResult(std::optional<std::string> folder) { folders_.push_back(std::move(folder)); }

  Answer messageBox(const MessageBox& box) override;
  std::optional<std::string> pickFolder(const std::string& title) override;
  void setBusy(bool busy) override;
  void doEvents() override { ++doEventsCalls; }

  std::vector<MessageBox> boxes;
  std::vector<std::string> pickerTitles;
  std::vector<bool> busyChanges;
  int doEventsCalls = 0;
  bool busy = false;

 private:
  std::deque<Answer> answers_;
  std::deque<std::optional<std::string>> folders_;
};

// The answer a box gets when its default button is pressed.
Answer defaultAnswer(const MessageBox& box);

}  // namespace trwk::testing
