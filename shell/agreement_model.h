#pragma once
// The licence agreement window a first-run user must accept. It keeps its check box in
// step with the agreement setting: ticked means "not accepted yet".
#include <string>

#include "shell/app_settings_store.h"

namespace trwk {

class AgreementModel {
 public:
  static constexpr const char* kCaption = "License Agreement and Disclaimer";
  static constexpr const char* kShowTipsCaption = "&Show Tips at Startup";
  static constexpr const char* kAgreeCaption = "I Agree";
  static constexpr const char* kDisagreeCaption = "I Disagree";

  // declined: the program-wide flag this window sets.
  AgreementModel(AppSettingsStore& store, bool& declined);

  // Control state.
  const std::string caption = kCaption;
  const std::string& text;  // read-only licence text
  bool showTipsTicked = false;
  bool closed = false;

  // Handlers.
  void open();
  void setShowTips(bool ticked);  // the box changed (by the user or by the window itself)
  void agree();
  void disagree();
  void closeByTitleBar();

 private:
  AppSettingsStore& store_;
  bool& declined_;
};

}  // namespace trwk
