#pragma once
// Step 2 of the plugin creator: the "Files and Folders" frame with the folder list of the
// current drive, the "Registry Keys and Values" frame, and "Done".
#include <functional>
#include <string>
#include <vector>

#include "extensions/creator/creator_model.h"
#include "ui/win32/dialog_view.h"

namespace trwk::creator::win32 {

class Step2View : public trwk::win32::DialogView {
 public:
  Step2View(CreatorModel& model, std::function<void()> afterAction);
  void refresh() override;

 protected:
  bool onInit() override;
  void onCommand(int id, int code) override;
  void onClose() override;

 private:
  void refreshDrives(FolderBrowser& folders);
  void refreshFolders(FolderBrowser& folders);
  void boxChanged(int id);
  // A button that has just been switched off must not keep the keyboard.
  void keepFocusUsable(int fallbackId);

  CreatorModel& model_;
  std::function<void()> afterAction_;
  bool refreshing_ = false;
  std::vector<std::string> shownDrives_;
  std::string shownFolder_;
  std::size_t shownRows_ = 0;
};

}  // namespace trwk::creator::win32
