#pragma once
// What the two cookie keep-list windows share: what there is to keep on the left, the
// keep list ("Excluded from cleaning") on the right, "Add", "Delete", "OK", "Cancel" and
// a toolbar that repeats "Add" and "Delete" (as "Remove"). A window names its controls
// and its model's left list; the model is a KeepListEditor with a caption, the two list
// labels, add(), ok(), toolbar() and pressTool().
#include <string>
#include <vector>

#include "platform/win32/win32_ui.h"  // <windows.h> without its MessageBox macro
#include "ui/win32/dialog_view.h"
#include "ui/win32/toolbar.h"

namespace trwk::win32 {

// The control numbers of a keep-list window, and where its toolbar goes (dialog units).
struct KeepListControls {
  int allLabel, left, excludedLabel, entries, add, remove;
  int toolbar, firstTool;
  RECT toolbarArea;
};

// The model's left list: its rows, its chosen row and what a click and a double click on
// a row do.
template <class Model>
struct KeepListLeft {
  std::vector<std::string> Model::*rows;
  int Model::*selected;
  void (Model::*select)(int);
  void (Model::*doubleClick)(int);
};

template <class Model>
class KeepListView : public DialogView {
 public:
  KeepListView(Model& model, KeepListControls controls, KeepListLeft<Model> left)
      : model_(model), controls_(controls), left_(left) {}

  void refresh() override {
    if (model_.closed) {
      closeWindow();
      return;
    }
    setCaption(model_.caption);
    setText(controls_.allLabel, Model::kAllLabel);
    setText(controls_.excludedLabel, Model::kExcludedLabel);
    showListRows(controls_.left, model_.*left_.rows, shownLeft_, model_.*left_.selected, !filled_);
    showListRows(controls_.entries, model_.entries, shownEntries_, model_.selectedEntry, !filled_);
    toolbar_.show(model_.toolbar());
    filled_ = true;
    refreshOwn();
  }

 protected:
  // What a window shows besides the two lists and their labels.
  virtual void refreshOwn() {}
  Model& model() const { return model_; }

  bool onInit() override {
    toolbar_.create(hwnd(), controls_.toolbar, controls_.toolbarArea, controls_.firstTool, model_.toolbar());
    return false;
  }

  void onCommand(int id, int code) override {
    if (const int tool = toolbar_.buttonOf(id); tool >= 0) {
      model_.pressTool(tool);
    } else if (id == controls_.left || id == controls_.entries) {
      if (code != LBN_SELCHANGE && code != LBN_DBLCLK) return;
      const int row = listSelection(item(id));
      if (id == controls_.left)
        (model_.*(code == LBN_SELCHANGE ? left_.select : left_.doubleClick))(row);
      else if (code == LBN_SELCHANGE)
        model_.selectEntry(row);
      else
        model_.doubleClickEntry(row);
    } else if (code != BN_CLICKED) {
      return;
    } else if (id == controls_.add) {
      model_.add();
    } else if (id == controls_.remove) {
      model_.deleteEntry();
    } else if (id == IDOK) {
      model_.ok();
    } else if (id == IDCANCEL) {  // the button and Escape
      model_.cancel();
    } else {
      return;
    }
    refresh();
  }

  void onClose() override {
    model_.cancel();
    refresh();
  }

 private:
  Model& model_;
  KeepListControls controls_;
  KeepListLeft<Model> left_;
  ToolbarControl toolbar_;
  std::vector<std::string> shownLeft_, shownEntries_;
  bool filled_ = false;  // the first refresh fills the lists whatever they hold
};

}  // namespace trwk::win32
