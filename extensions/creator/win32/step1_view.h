#pragma once
// Step 1 of the plugin creator: the plugin's name and description, "Next" and "Cancel".
#include <functional>

#include "extensions/creator/creator_model.h"
#include "ui/win32/dialog_view.h"

namespace trwk::creator::win32 {

class Step1View : public trwk::win32::DialogView {
 public:
  // afterAction runs once the model has handled a button, to show the next step or end.
  Step1View(CreatorModel& model, std::function<void()> afterAction);
  void refresh() override;

 protected:
  bool onInit() override;
  void onCommand(int id, int code) override;
  void onClose() override;

 private:
  void readBoxes();

  CreatorModel& model_;
  std::function<void()> afterAction_;
};

}  // namespace trwk::creator::win32
