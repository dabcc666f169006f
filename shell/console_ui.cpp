#include "shell/console_ui.h"

#include <ostream>

#include "platform/text_encoding.h"

namespace trwk {

Answer defaultButtonAnswer(const MessageBox& box) {
  int b = box.defaultButton;
  switch (box.buttons) {
    case Buttons::Ok: return Answer::Ok;
    case Buttons::OkCancel: return b == 2 ? Answer::Cancel : Answer::Ok;
    case Buttons::YesNo: return b == 2 ? Answer::No : Answer::Yes;
    case Buttons::YesNoCancel: return b == 2 ? Answer::No : b == 3 ? Answer::Cancel : Answer::Yes;
  }
  return Answer::Ok;
}

const char* answerName(Answer answer) {
  switch (answer) {
    case Answer::Ok: return "OK";
    case Answer::Cancel: return "Cancel";
    case Answer::Yes: return "Yes";
    case Answer::No: return "No";
  }
  return "OK";
}

Answer ConsoleUi::messageBox(const MessageBox& box) {
  Answer answer = defaultButtonAnswer(box);
  std::string text;
  for (char c : box.text)
    if (c != '\r') text += c;
  // One box, one block: inner line breaks are kept but indented under the title.
  for (std::size_t at = 0; (at = text.find('\n', at)) != std::string::npos; at += 3)
    text.insert(at + 1, "  ");
  out_ << "[" << cp1252ToUtf8(box.title) << "] " << cp1252ToUtf8(text) << " -> " << answerName(answer)
       << "\n";
  out_.flush();
  return answer;
}

std::optional<std::string> ConsoleUi::pickFolder(const std::string& title) {
  out_ << "[" << cp1252ToUtf8(title) << "] no folder can be picked here -> Cancel\n";
  out_.flush();
  return std::nullopt;
}

}  // namespace trwk
