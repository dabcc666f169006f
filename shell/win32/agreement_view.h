#pragma once
#include "shell/agreement_model.h"
#include "ui/win32/dialog_view.h"

namespace trwk::win32 {

// The licence agreement dialog, shown modally on a first run.
class AgreementView : public DialogView {
 public:
  explicit AgreementView(AgreementModel& model) : model_(model) {}
  void show();  // returns when the window has closed
  void refresh() override;

 protected:
  bool onInit() override;
  void onCommand(int id, int code) override;
  void onClose() override;

 private:
  void closeIfDone();
  AgreementModel& model_;
};

}  // namespace trwk::win32
