#pragma once
// The Win32 view of every viewer window: a virtual report list over the model's rows,
// the count line and the three buttons. The main window opens the model and runs this
// modally over itself.
#include <string>

#include "ui/win32/dialog_view.h"
#include "viewers/list_viewer_model.h"

namespace trwk::win32 {

class ListViewerView : public DialogView {
 public:
  explicit ListViewerView(ListViewerModel& model) : model_(model) {}
  void refresh() override;

 protected:
  bool onInit() override;
  void onCommand(int id, int code) override;
  void onClose() override;
  bool onMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override;

 private:
  // The list's highlighted rows go to the model; the count line and button follow.
  void takeSelection();
  void refreshStatus();
  // The model's highlights onto the list.
  void showSelection();
  void showSortArrow();

  ListViewerModel& model_;
  std::wstring cell_;        // the text last handed to the list, alive until it asks again
  bool refreshing_ = false;  // selection changes made by refresh are not the user's
};

}  // namespace trwk::win32
