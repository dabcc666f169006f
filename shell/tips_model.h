#pragma once
// The "Notice!" window the main window may open at the end of its load.
#include <array>
#include <string>

#include "foundation/session.h"

namespace trwk {

class TipsModel {
 public:
  static constexpr const char* kCaption = "Notice!";
  static constexpr const char* kDoNotPromptCaption = "Do not prompt in the future.";
  static constexpr const char* kOkCaption = "OK";

  // showTips: the main window's flag, cleared when the user asks not to be prompted.
  TipsModel(Session& session, bool& showTips);

  const std::string caption = kCaption;
  const std::array<std::string, 3> notices;
  bool doNotPrompt = false;
  bool closed = false;

  void setDoNotPrompt(bool ticked);
  void ok() { closed = true; }
  void closeByTitleBar() { closed = true; }

 private:
  Session& session_;
  bool& showTips_;
};

}  // namespace trwk
